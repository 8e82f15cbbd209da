// Any bytes as a jokes file: loading it and drawing each joke must hold up under the sanitizers,
// and the label must get no more characters than it can show.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "jokes/tip_store.h"
#include "support/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A label small enough that short inputs reach both of its cuts.
    constexpr farlous::LabelCapacity kLabel{4, 12};
    farlous::testing::FakePlatform platform;
    platform.files["/f"] = std::string(reinterpret_cast<const char*>(data), size);
    farlous::TipStore store(platform, kLabel);
    if (!store.LoadTips("/f")) std::abort();
    for (int draw = 0; draw < 64; ++draw) {
        platform.draws = {static_cast<float>(draw) / 64};
        store.Draw();
        std::size_t characters = 0;
        for (const char c : store.CurrentTip().value_or("")) characters += (c & 0xC0) != 0x80;
        if (characters > kLabel.characters) std::abort();
    }
    return 0;
}
