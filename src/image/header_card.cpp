#include "image/header_card.h"

#include <algorithm>

namespace talvor {
namespace {

constexpr std::size_t kTextStart = 11;  // column 12
constexpr std::size_t kLastPieceLength = 51;

}  // namespace

HeaderCard PlainCard(std::string_view text) {
    HeaderCard card;
    card.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), kCardLength), card.begin());
    return card;
}

HeaderCard TextCard(std::string_view key, std::string_view text) {
    std::string line(key.substr(0, kTextStart));
    line += text;
    line += '\'';
    return PlainCard(line);
}

std::string CardText(const HeaderCard& card) {
    const auto begin = card.begin() + kTextStart;
    const auto end = std::find(begin, card.end(), '\'');
    return std::string(begin, end);
}

std::array<HeaderCard, kParagraphCards> ParagraphCards(std::string_view key,
                                                       std::string_view paragraph) {
    std::array<HeaderCard, kParagraphCards> cards;
    for (std::size_t k = 0; k < kParagraphCards; ++k) {
        std::string piece(kParagraphPiece, ' ');
        const std::size_t start = k * kParagraphPiece;
        if (start < paragraph.size()) {
            const std::string_view part = paragraph.substr(start, kParagraphPiece);
            std::copy(part.begin(), part.end(), piece.begin());
        }
        cards[k] = TextCard(key, piece);
    }
    return cards;
}

std::string ParagraphText(const std::array<HeaderCard, kParagraphCards>& cards) {
    std::string paragraph;
    for (std::size_t k = 0; k + 1 < kParagraphCards; ++k) {
        paragraph += CardText(cards[k]);
    }
    paragraph += CardText(cards[kParagraphCards - 1]).substr(0, kLastPieceLength);
    return paragraph;
}

}  // namespace talvor
