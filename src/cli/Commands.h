#pragma once

#include "cli/CommandLine.h"
#include "inventory/Backups.h"
#include "inventory/CsvFile.h"

namespace tarmelo::cli {

// The sub-commands of tarmelo-cli, each given its parsed arguments; the result is the exit status.
int dump(const CommandLine& c);
int check(const CommandLine& c);
int build(const CommandLine& c);
int convert(const CommandLine& c);
int rename(const CommandLine& c);
int price(const CommandLine& c);
int print(const CommandLine& c);
int upload(const CommandLine& c);
int download(const CommandLine& c);
int update(const CommandLine& c);
int backups(const CommandLine& c);
int restore(const CommandLine& c);

// Prints the sub-command's usage on stderr; returns kUsage.
int usage(const char* command);

// Keeps the archive about to be replaced or changed as a backup (an existing archive only); a failure is a warning
// on stderr, never a stop.
void backupBefore(const QString& archive, inventory::BackupCause cause);

// Writes the lines as an inventory archive, or as the bare line file when the name does not end in .zip. An
// archive it replaces is kept as a backup first.
int saveInventory(const QString& target, const inventory::CsvLines& lines, const model::Inventory& inv,
                  inventory::BackupCause cause = inventory::BackupCause::Save);
// Writes the lines as an archive as "Speichern unter" does: .zip is appended when missing, and said so.
int saveArchive(const QString& given, const inventory::CsvLines& lines, const model::Inventory& inv,
                inventory::BackupCause cause = inventory::BackupCause::Save);

} // namespace tarmelo::cli
