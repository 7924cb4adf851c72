#include "ui/Form.h"

#include <stdexcept>

#include "ui/Timer.h"

namespace kestrave::ui {

Form::Form(IWindowSystem& ws, std::wstring name) : ws_(ws), name_(std::move(name)) {}

Form::~Form() = default;

void Form::beginLoad() {
    design();
    onLoading();
    loaded_ = true;
}

void Form::runLoadHandler() {
    fire([this] { onLoad(); });
}

void Form::endUnload() {
    for (Timer* t : timers_) {
        t->setEnabled(false);
    }
    loaded_ = false;
}

void Form::fire(const std::function<void()>& handler) {
    if (!handler) {
        return;
    }
    try {
        handler();
    } catch (const std::exception& e) {
        ws_.reportError(e);
    } catch (...) {
        ws_.reportError(std::runtime_error("unknown error"));
    }
}

bool Form::keyDown(int keyCode, int shift) {
    bool handled = false;
    fire([&] { handled = onKeyDown(keyCode, shift); });
    return handled;
}

} // namespace kestrave::ui
