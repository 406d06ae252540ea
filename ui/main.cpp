#include "platform/Application.h"
#include "ui/KolvexProgram.h"

int main(int argc, char** argv) {
    KolvexApplication app(argc, argv);
    int status = 0;
    RunGuarded([&] {
        TKolvexProgram program;
        if (program.Start()) status = program.Run();
        program.Finish();
    });
    return status;
}
