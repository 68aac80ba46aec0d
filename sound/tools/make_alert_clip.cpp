// Writes the alert clip: make_alert_clip <output.wav>
// The build runs it on the build machine and embeds its output in both
// programs; the clip itself is never committed.

#include "binary_file.h"
#include "chime_synth.h"

int main(int argc, char** argv)
{
    return tindora::writeBuiltFile(argc, argv, "make_alert_clip <output.wav>", tindora::sound::renderAlertClip());
}
