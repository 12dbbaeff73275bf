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

    // A header count or position that is not a number. The loader reports such a file with its
    // one message naming the file, as it does after the reader's own warnings.
    static readexception conversion(const std::string &text)
    {
        readexception error(text);
        error.mConversion = true;
        return error;
    }

    // The reader has already shown its own warning about this error.
    bool shown() const { return mShown; }
    bool conversionError() const { return mConversion; }

private:
    bool mShown;
    bool mConversion = false;
};

} // namespace rvk
