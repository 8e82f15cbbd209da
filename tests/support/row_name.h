#pragma once

#include <string>

namespace farlous::testing {

// Names each row of a parameterised test after its `name`.
struct RowName {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo& info) const {
        return info.param.name;
    }
};

}  // namespace farlous::testing
