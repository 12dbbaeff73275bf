#include "settings/randomgenerator.h"

namespace rvk {

ProgramRandom &ProgramRandom::global()
{
    static ProgramRandom instance;
    return instance;
}

} // namespace rvk
