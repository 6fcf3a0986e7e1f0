#pragma once
// The course-change refresh without a window, and the systemd user timer
// that runs it every half hour.
//
//   yunxiu-cli --background-fetch [options]
//     runs the refresh once (no screen) and exits 0. When another program
//     holds the data folder it exits 0 at once without touching anything.
//     Notices due by the end (the at-once ones too) go to the desktop's
//     notification service; one that cannot be shown stays scheduled.
//   yunxiu-cli --install-refresh-timer [--no-enable] [options]
//     writes yunxiu-refresh.service and yunxiu-refresh.timer to
//     $XDG_CONFIG_HOME/systemd/user/ and enables the timer.
//   yunxiu-cli --remove-refresh-timer [--no-enable]
//     disables the timer and removes both files.

#include <string>
#include <vector>

#include "app/cli/driver.h"

namespace yx {

enum class HeadlessCommand { None, BackgroundFetch, InstallTimer, RemoveTimer };

struct HeadlessRequest {
  HeadlessCommand command = HeadlessCommand::None;
  bool enable = true;  // false with --no-enable
};

// Takes the headless words out of the options' unknown rest. Returns the
// one-line error for a word that is neither, or for options the command
// does not take.
std::optional<std::string> parseHeadlessRequest(DriverOptions& options, HeadlessRequest& out);

// Each returns the process's exit status.
int runBackgroundFetch(const DriverOptions& options);
int installRefreshTimer(const DriverOptions& options, bool enable);
int removeRefreshTimer(bool enable);

// The service unit's ExecStart line for these options: this program's
// absolute path, --background-fetch and the options with every path made
// absolute, each word double-quoted ("\\" and "\"" escaped, "%" as "%%",
// "$" as "$$"). Nothing when a word holds a line break or another control
// character (a unit file cannot carry it).
std::optional<std::string> refreshExecStart(const std::string& program, const DriverOptions& options);
// $XDG_CONFIG_HOME/systemd/user (else $HOME/.config/systemd/user).
std::string userUnitDirectory();

}  // namespace yx
