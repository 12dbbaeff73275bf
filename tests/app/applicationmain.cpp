#include "app/applicationsetup.h"
#include "core/userinterface.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

// Window tests run under the program's own application object, so an error that escapes a
// command is caught where the program catches it. One that no test expects fails the test
// instead of opening an error box that nobody closes.
class UnexpectedErrors : public rvk::SilentUserInterface
{
public:
    void message(MessageKind kind, const std::string &text) override
    {
        if (kind == MessageKind::Error)
            ADD_FAILURE() << "an error escaped a command: " << text;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    rvk::Application application(argc, argv);
    UnexpectedErrors unexpected;
    application.setErrorInterface(&unexpected);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    application.setErrorInterface(nullptr);
    return status;
}
