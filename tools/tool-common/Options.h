#pragma once

#include <map>
#include <string>
#include <vector>

// A command's arguments: named options, each with or without a value and given at most once,
// and the other arguments in their order.
class Options {
  public:
    struct Option {
        std::string name;  // "-o", "--force"
        bool takesValue;
    };

    // False with a message for an unknown option, an option without its value or one given twice.
    bool Parse(const std::vector<std::string>& args, const std::vector<Option>& known,
               std::string& error);

    bool Has(const std::string& name) const { return values.count(name) > 0; }
    // The option's value; empty when not given.
    std::string Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional; }

  private:
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
};
