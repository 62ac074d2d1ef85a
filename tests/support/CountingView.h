#pragma once
// A registry key whose values the test gives, counting how often the registry asks for them: the catalogue
// tests use it to see that a key is read once, not once per value.

#include "platform/RegistryView.h"

#include <utility>
#include <vector>

namespace quillon::test {

class CountingView final : public platform::RegistryView {
public:
    explicit CountingView(std::vector<platform::RegistryValue> values) : values_(std::move(values)) {}
    std::vector<platform::RegistryValue> values() override
    {
        ++calls;
        return values_;
    }
    /// How many times values() was asked.
    int calls = 0;

private:
    std::vector<platform::RegistryValue> values_;
};

} // namespace quillon::test
