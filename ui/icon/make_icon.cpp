// Writes the program's icon file: make_icon <output.ico>
// The committed ui/icon/tindora.ico is this tool's output; the unit test
// checks that the two still agree.

#include "binary_file.h"
#include "clock_icon.h"

int main(int argc, char** argv)
{
    return tindora::writeBuiltFile(argc, argv, "make_icon <output.ico>", tindora::icon::makeClockIcon());
}
