#include "Options.h"

#include <algorithm>

bool Options::Parse(const std::vector<std::string>& args, const std::vector<Option>& known,
                    std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        const auto option = std::find_if(known.begin(), known.end(),
                                         [&](const Option& o) { return o.name == arg; });
        if (option == known.end()) {
            error = "unknown option " + arg;
            return false;
        }
        if (Has(arg)) {
            error = arg + " is given more than once";
            return false;
        }
        if (!option->takesValue) {
            values[arg];
        } else if (i + 1 < args.size()) {
            values[arg] = args[++i];
        } else {
            error = arg + " needs a value";
            return false;
        }
    }
    return true;
}

std::string Options::Value(const std::string& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::string() : found->second;
}
