#include <iostream>

#include "app/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  vernatto::platform::setUpConsole();
  return vernatto::app::run(vernatto::platform::commandLine(argc, argv), std::cout,
                            std::cerr);
}
