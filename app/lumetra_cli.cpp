#include "app/ZR_CliApp.h"

int main(int argc, char** argv) { return ZR_CliApp::Main(argc, argv); }
