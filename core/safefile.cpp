#include "core/safefile.h"

#include "core/userinterface.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace rvk {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Where the bytes finally go: writing through a link changes the file it points to and keeps the
// link. Empty when the target is there but is no writable plain file.
struct Target
{
    fs::path path;
    bool exists = false;
    mode_t mode = 0;
};

bool resolveTarget(const std::string &name, Target &target)
{
    std::error_code error;
    target.path = name;
    if (fs::is_symlink(target.path, error)) {
        target.path = fs::weakly_canonical(target.path, error);
        if (error)
            return false;
    }
    struct stat existing {};
    target.exists = ::stat(target.path.c_str(), &existing) == 0;
    if (target.exists && (!S_ISREG(existing.st_mode) || ::access(target.path.c_str(), W_OK) != 0))
        return false;
    if (target.exists) {
        target.mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        target.mode = 0666 & ~mask;
    }
    return true;
}

// A new, empty temporary file beside the target; its descriptor, or -1.
int makeTemporary(const Target &target, std::string &name)
{
    fs::path folder = target.path.parent_path();
    if (folder.empty())
        folder = ".";
    name = (folder / ("." + target.path.filename().string() + ".XXXXXX")).string();
    return ::mkstemp(name.data());
}

} // namespace

std::string unableToWriteMessage(const std::string &path) { return "Unable to write to " + path; }

bool writeFileReplacing(const std::string &path, std::string_view bytes, UserInterface &ui)
{
    std::string error;
    if (writeFileReplacing(path, bytes, &error))
        return true;
    ui.error(error);
    return false;
}

bool writeFileReplacing(const std::string &path, std::string_view bytes, std::string *errorText)
{
    Target target;
    std::string temporary;
    int fd = -1;
    bool done = resolveTarget(path, target) && (fd = makeTemporary(target, temporary)) >= 0;
    if (done) {
        done = writeAll(fd, bytes) && ::fchmod(fd, target.mode) == 0 && ::fsync(fd) == 0;
        done = (::close(fd) == 0) && done;
        done = done && ::rename(temporary.c_str(), target.path.c_str()) == 0;
        if (!done)
            ::unlink(temporary.c_str());
    }
    if (!done && errorText)
        *errorText = unableToWriteMessage(path);
    return done;
}

bool writeFileReplacing(const std::string &path, const std::function<bool(const std::string &)> &write, std::string *errorText)
{
    Target target;
    std::string temporary;
    int fd = -1;
    bool done = resolveTarget(path, target) && (fd = makeTemporary(target, temporary)) >= 0;
    if (done) {
        ::close(fd);
        done = write(temporary) && ::chmod(temporary.c_str(), target.mode) == 0
            && ::rename(temporary.c_str(), target.path.c_str()) == 0;
        if (!done)
            ::unlink(temporary.c_str());
    }
    if (!done && errorText)
        *errorText = unableToWriteMessage(path);
    return done;
}

} // namespace rvk
