#include "view/widget/face_chain.h"

#include "view/widget/report_font.h"

namespace torvane::view {
namespace {
constexpr quint32 kNotLookedUp = ~quint32{0};
}

TFaceChain& TFaceChain::Program() {
    static TFaceChain chain = [] {
        std::vector<QFont> fonts{ReportFont()};
        for (QFont& fallback : ReportFallbackFonts()) fonts.push_back(std::move(fallback));
        return TFaceChain(std::move(fonts));
    }();
    return chain;
}

TFaceChain::TFaceChain(std::vector<QFont> fonts) : fonts_(std::move(fonts)) {
    for (int bold = 0; bold < 2; ++bold) {
        faces_[bold].resize(fonts_.size());
        runFonts_[bold].resize(fonts_.size());
        bmp_[bold].assign(0x10000, kNotLookedUp);
    }
}

const QRawFont& TFaceChain::face(bool bold, std::size_t index) {
    QRawFont& raw = faces_[bold][index];
    if (!raw.isValid()) {
        QFont font = fonts_[index];
        font.setBold(bold);
        raw = QRawFont::fromFont(font);
    }
    return raw;
}

const QFont& TFaceChain::runFont(bool bold, std::size_t first) {
    std::optional<QFont>& font = runFonts_[bold][first];
    if (!font) {
        QStringList families{face(bold, first).familyName()};
        for (std::size_t index = 0; index < fonts_.size(); ++index) {
            if (index != first) families << face(bold, index).familyName();
        }
        font = fonts_[first];
        font->setFamilies(families);
        font->setBold(bold);
    }
    return *font;
}

quint32 TFaceChain::lookUp(bool bold, char32_t c) {
    QChar units[2];
    int count = 1;
    if (c >= 0x10000) {
        units[0] = QChar::highSurrogate(c);
        units[1] = QChar::lowSurrogate(c);
        count = 2;
    } else {
        units[0] = QChar(static_cast<char16_t>(c));
    }
    for (std::size_t index = 0; index < fonts_.size(); ++index) {
        quint32 glyphs[2] = {0, 0};
        int found = 2;
        if (face(bold, index).glyphIndexesForChars(units, count, glyphs, &found) && found == 1 &&
            glyphs[0] != 0 && glyphs[0] <= 0xFFFF) {
            return static_cast<quint32>(index) << 16 | glyphs[0];
        }
    }
    return 0;
}

TFaceChain::Glyph TFaceChain::glyphOf(bool bold, char32_t c) {
    quint32 packed;
    if (c < 0x10000) {
        quint32& cached = bmp_[bold][c];
        if (cached == kNotLookedUp) cached = lookUp(bold, c);
        packed = cached;
    } else {
        auto [at, added] = beyond_[bold].try_emplace(c, 0);
        if (added) at->second = lookUp(bold, c);
        packed = at->second;
    }
    return {static_cast<std::uint16_t>(packed >> 16), packed & 0xFFFF};
}

}  // namespace torvane::view
