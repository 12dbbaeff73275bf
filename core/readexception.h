#pragma once

#include <stdexcept>
#include <string>

namespace rvk {

// A data file that cannot be read: malformed records, a wrong record count, a header value that
// is not a number. The text is what the person is shown.
class readexception : public std::runtime_error
{
public:
    explicit readexception(const std::string &text, bool shown = false) : std::runtime_error(text), mShown(shown) {}

    // The reader has already shown its own warning about this error.
    bool shown() const { return mShown; }

private:
    bool mShown;
};

} // namespace rvk
