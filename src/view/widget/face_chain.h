// The faces the report draws with, asked in order for each character: the report's font, then its
// fallbacks (report_font.h). One chain serves every view of the program: the installed faces and
// what they draw do not change while it runs, so each face is loaded once, when a character first
// needs it, and each character is looked up once per weight.
#pragma once

#include <QFont>
#include <QRawFont>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace torvane::view {

class TFaceChain {
  public:
    // A glyph and the face (index into the chain) that has it; glyph 0: no face has it.
    struct Glyph {
        std::uint16_t face = 0;
        quint32 glyph = 0;
    };

    // The program's chain: ReportFont() and ReportFallbackFonts(). Precondition: a
    // QGuiApplication exists; use on the GUI thread only.
    static TFaceChain& Program();

    // `fonts` in order; the first is the primary face.
    explicit TFaceChain(std::vector<QFont> fonts);

    // The first face, in the chain's order, that has a glyph for `c` in that weight.
    Glyph glyphOf(bool bold, char32_t c);
    // Face `index` in that weight. Precondition: index < size().
    const QRawFont& face(bool bold, std::size_t index);
    std::size_t size() const { return fonts_.size(); }
    // Face `first` in that weight with the faces of the chain as its family list, `first` leading
    // and the others in order: what shaped runs (shaped_run.h) are laid out with, so that the
    // shaper starts from the face that covers the run and falls back along the same faces as
    // single characters do. Precondition: first < size().
    const QFont& runFont(bool bold, std::size_t first);

  private:
    quint32 lookUp(bool bold, char32_t c);

    std::vector<QFont> fonts_;
    std::vector<QRawFont> faces_[2];  // [bold]; invalid until first used
    // Per weight: the face in the upper 16 bits and the glyph in the lower; 0 for none, all ones
    // for not looked up yet. A table for the BMP, a map beyond it.
    std::vector<quint32> bmp_[2];
    std::unordered_map<char32_t, quint32> beyond_[2];
    std::vector<std::optional<QFont>> runFonts_[2];  // [bold][first]; made when first asked for
};

}  // namespace torvane::view
