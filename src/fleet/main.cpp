#include <iostream>

#include "fleet/fleet.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  vernatto::platform::setUpConsole();
  return vernatto::fleet::runFleet(vernatto::platform::commandLine(argc, argv), std::cout,
                                   std::cerr,
                                   vernatto::platform::standardErrorIsTerminal());
}
