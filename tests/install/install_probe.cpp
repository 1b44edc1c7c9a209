// Answers for an installed program what the program itself would: the help
// file the help window opens and the command the folder entry is given.
// Used by install_layout.cmake.
#include <iostream>
#include <string>

#include "services/context_link.h"
#include "services/help_file.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: install_probe PROGRAM_FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  std::cout << velmora::FindHelpFile(folder) << '\n'
            << velmora::ContextLinkCommand(folder + "/velmora") << '\n';
  return 0;
}
