#include "app/program.h"

int main(int argc, char** argv) {
    return orp::RunProgram(argc, argv);
}
