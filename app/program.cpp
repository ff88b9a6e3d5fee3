#include "program.h"

namespace wirtello {

template <typename Window, typename... Args>
std::unique_ptr<Window> Program::create(Args&&... args)
{
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    creationOrder_.push_back(window.get());
    return window;
}

Program::Program(AppData& data, Platform& platform)
{
    // The main window prepares all shared data before any other window exists.
    zadania_ = create<Tzadania_f>(data, platform);
    zadania_->FormCreate();
    form3_ = create<Tform3>(platform); // has no creation handler
    firma_ = create<Tfirma_f>();
    firma_->initialise();
    logowania_ = create<Tlogowania_f>(data, platform);
    logowania_->initialise();
    histo_ = create<Thisto_f>(data, platform);
    histo_->initialise();
    font_ = create<Tfont_f>(platform, printFont_);
    font_->initialise();
    kp_ = create<Tkp_f>();
    kp_->initialise();
    koperta_ = create<Tkoperta_f>();
    koperta_->initialise();
    narzedzia_ = create<Tnarzedzia_f>(data, platform);
    narzedzia_->initialise();

    zadania_->setWindows({form3_.get(), firma_.get(), logowania_.get(), histo_.get(), font_.get(), kp_.get(),
                          koperta_.get(), narzedzia_.get()});
}

} // namespace wirtello
