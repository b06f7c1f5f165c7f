#include <iostream>
#include <string>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  return vernatto::app::run(std::vector<std::string>(argv, argv + argc), std::cout,
                            std::cerr);
}
