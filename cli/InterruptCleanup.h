#pragma once
// What an interrupting signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT) must undo before the process
// ends: unfinished temporary files are removed and a progress line on the terminal is
// blanked. Signals the caller ignores stay ignored.

#include <csignal>
#include <cstddef>

// Takes over the interrupting signals that would end the process with their default action.
void InstallInterruptCleanup();

// The interrupting signals, for a thread that must take them or keep them out.
sigset_t InterruptSignals();

// A file to remove if the process is interrupted, until it is forgotten. False when there is
// no room to remember it (the file is then simply not removed).
bool RememberTemporary(const char *path);
void ForgetTemporary(const char *path);

// The progress line now shown on the terminal fd, length characters long; fd < 0 for none.
void SetShownLine(int fd, std::size_t length);

// Writes a carriage return, length blanks and a carriage return: async-signal-safe.
void BlankLine(int fd, std::size_t length);

// Writes all size bytes to fd, past short writes and EINTR; async-signal-safe.
void WriteFully(int fd, const char *data, std::size_t size);
