#include "ServicesEnvironment.h"

#include <fstream>

namespace tw {

bool readServicesEnvironment(const std::string& path, std::map<std::string, std::string>& env) {
    std::ifstream file(path);
    if (!file)
        return false;
    const std::string prefix = "export ";
    for (std::string line; std::getline(file, line);) {
        const size_t equals = line.find('=');
        if (line.rfind(prefix, 0) == 0 && equals != std::string::npos && equals > prefix.size())
            env[line.substr(prefix.size(), equals - prefix.size())] = line.substr(equals + 1);
    }
    return true;
}

}  // namespace tw
