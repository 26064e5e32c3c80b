#pragma once

#include <string>
#include <string_view>

namespace hw {

// The one way the program writes a file whole (settings, history, station list, autostart
// entry, seeded runtime files, pictures): the bytes go to a new temporary file beside the
// target, which is then renamed over it, so readers see either the old or the new content and
// a failed write (a full disk) leaves the old file as it was.
//
// The temporary file gets a fresh unique name and is created exclusively without following
// links (O_CREAT | O_EXCL | O_NOFOLLOW), so nothing planted under a temporary name (a link, a
// FIFO, another file) is ever opened or written through. A symbolic link at `path` itself is
// followed and its target replaced (the temporary file lies beside the target), so a settings
// file kept elsewhere through a link stays linked. An existing file keeps its permissions. A
// path naming something other than a regular file is refused. False when it cannot, with the
// reason in `error` when given.
bool WriteFileAtomically(std::u16string_view path, std::string_view bytes,
                         std::string* error = nullptr);

}  // namespace hw
