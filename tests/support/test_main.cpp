// Entry of every test program: checks the Chinese code page and runs the tests.
#include "tests/support/test_support.h"
#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GetACP() != 936) {
        fprintf(stderr, "the ANSI code page is %u, not 936: run under LANG=zh_CN.UTF-8\n", GetACP());
        return 2;
    }
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    return RUN_ALL_TESTS();
}
