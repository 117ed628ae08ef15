#include "programs/run_main_window.h"

int main(int argc, char** argv)
{
    return mosswick::run_main_window(argc, argv, mosswick::Edition::enhanced(), QStringLiteral("mosswick-enhanced"));
}
