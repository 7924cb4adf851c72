#pragma once
#include <string>

#include "core/text/Languages.h"
#include "platform/IStringTable.h"
#include "ui/Types.h"

namespace kestrave {

// A text's font in the language the windows speak: the face its role has there.
inline ui::Font fontFor(const IStringTable& strings, lang::Role role, double points,
                        bool bold = false, bool underline = false) {
    return {std::wstring(strings.language().face(role)), points, bold, underline};
}

} // namespace kestrave
