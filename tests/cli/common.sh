# Sourced by the tarmelo-cli test scripts: the tally and the check of one command's exit code and output.
passed=0
failed=0

expect() { # description, expected exit code, expected output fragment (may be empty), command...
    local what=$1 code=$2 fragment=$3
    shift 3
    local out rc
    out=$("$@" 2>&1 </dev/null)
    rc=$?
    if [ "$rc" -eq "$code" ] && { [ -z "$fragment" ] || grep -qF -- "$fragment" <<<"$out"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s (exit %s, wanted %s)\n%s\n' "$what" "$rc" "$code" "$out"
    fi
}

finish() { # name of the suite; fails the script when a check failed
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
