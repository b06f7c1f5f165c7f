#include <iostream>

#include "platform/platform.h"
#include "scan/scanner.h"

int main(int argc, char** argv) {
  vernatto::platform::setUpConsole();
  return vernatto::scan::runScanner(vernatto::platform::commandLine(argc, argv),
                                    std::cout, std::cerr,
                                    vernatto::platform::standardErrorIsTerminal());
}
