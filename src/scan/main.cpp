#include <iostream>
#include <string>
#include <vector>

#include "platform/scan_system.h"
#include "scan/scanner.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return vernatto::scan::runScanner(std::vector<std::string>(argv, argv + argc),
                                    std::cout, std::cerr,
                                    vernatto::platform::standardErrorIsTerminal());
}
