#pragma once

namespace tarmelo::cli {

// tarmelo-cli rename ...: the bulk renaming of internal numbers without the dialog.
int renameMain(int argc, char** argv);
// tarmelo-cli print ...: the vehicle list as PDF or as text.
int printMain(int argc, char** argv);

} // namespace tarmelo::cli
