#include <iostream>

#include "platform/platform.h"
#include "project/project.h"

int main(int argc, char** argv) {
  vernatto::platform::setUpConsole();
  return vernatto::project::runProject(vernatto::platform::commandLine(argc, argv),
                                       std::cout, std::cerr,
                                       vernatto::platform::standardErrorIsTerminal());
}
