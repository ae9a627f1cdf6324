// Folders only the user can write in, for what another user must not be able
// to replace or fill: the lock that keeps one copy running (instance_lock.h)
// and the runtime folder Qt and the programs the program starts are given.
#pragma once

#include <string>

namespace gimbalo {

// How open a folder may be to others.
enum class OthersMay {
    Nothing,  // mode 0700: a runtime folder
    Read,     // no write for group or others: a folder in the user's home
};

// Opens the folder at `path` without following a link and checks what it is
// once open, so nothing can be swapped in between: a folder owned by this
// user that `others` allows. Its descriptor (close-on-exec), or -1.
int OpenPrivateFolder(const std::string& path, OthersMay others);

// XDG_RUNTIME_DIR when it is a full path to a folder of this user's with mode
// 0700; empty otherwise.
std::string XdgRuntimeFolder();

// The program's own runtime folder where the user's is missing or unsound:
// <TMPDIR, else /tmp>/gimbalo-<uid>, made with mode 0700 when missing and
// given that mode when it is this user's. Empty when it belongs to someone
// else or is no folder (someone made it first).
std::string OwnRuntimeFolder();

struct PrivateFolder {
    std::string path;
    OthersMay others;
};

// Where the single-instance lock may live, best first (`rank` from 0 to
// kLockFolders - 1): the sound runtime folder, the program's own (made only
// when asked for), and the settings folder in the user's home. An empty path
// when there is none of that rank.
constexpr int kLockFolders = 3;
PrivateFolder LockFolder(int rank);

// Before Qt starts: when XDG_RUNTIME_DIR names no sound folder, names the
// program's own there, so that Qt (and what the program starts) uses a
// private folder rather than warning and making one of its own.
void ProvideRuntimeFolder();

}  // namespace gimbalo
