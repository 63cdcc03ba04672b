// Quarvo: moves contacts and bookmarks out of the Opera browser.
#include "application.h"
#include "start_up.h"

int main(int argc, char** argv) {
    QuarvoApplication app(argc, argv);
    return quarvo::RunProgram(app);
}
