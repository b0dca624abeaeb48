#include "image/header_card.h"

#include <algorithm>

#include "image/ascii_text.h"

namespace talvor {
namespace {

constexpr std::size_t kTextStart = 11;  // column 12
constexpr std::size_t kLastPieceLength = 51;

// The columns between the opening quote in column 11 and the last quote of the card, or the end
// of the card; nothing when column 11 holds no quote.
std::string_view QuotedColumns(const HeaderCard& card) {
    if (card[kTextStart - 1] != '\'') {
        return {};
    }
    const std::string_view rest(card.data() + kTextStart, kCardLength - kTextStart);
    const std::size_t last = rest.rfind('\'');
    return last == std::string_view::npos ? rest : rest.substr(0, last);
}

}  // namespace

HeaderCard PlainCard(std::string_view text) {
    HeaderCard card;
    card.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), kCardLength), card.begin());
    return card;
}

HeaderCard TextCard(std::string_view key, std::string_view text) {
    std::string line(key.substr(0, kTextStart));
    std::size_t columns = 0;
    for (const char c : AsciiText(text)) {
        const std::size_t width = c == '\'' ? 2 : 1;
        if (columns + width > kCardTextColumns) {
            break;
        }
        line.append(width, c);
        columns += width;
    }
    line += '\'';
    return PlainCard(line);
}

std::string CardText(const HeaderCard& card) {
    const std::string_view quoted = QuotedColumns(card);
    std::string text;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        text += quoted[i];
        if (quoted[i] == '\'' && i + 1 < quoted.size() && quoted[i + 1] == '\'') {
            ++i;
        }
    }
    return WithoutTrailingBlanks(text);
}

HeaderCard CommentaryCard(std::string_view key, std::string_view text) {
    std::string line(key.substr(0, kTextStart));
    line += AsciiText(text).substr(0, kCardTextColumns);
    line += '\'';
    return PlainCard(line);
}

std::string CommentaryText(const HeaderCard& card) {
    return std::string(QuotedColumns(card));
}

std::array<HeaderCard, kParagraphCards> ParagraphCards(std::string_view key,
                                                       std::string_view paragraph) {
    const std::string ascii = AsciiText(paragraph);
    std::array<HeaderCard, kParagraphCards> cards;
    for (std::size_t k = 0; k < kParagraphCards; ++k) {
        std::string piece(kParagraphPiece, ' ');
        const std::size_t start = k * kParagraphPiece;
        if (start < ascii.size()) {
            const std::string_view part = std::string_view(ascii).substr(start, kParagraphPiece);
            std::copy(part.begin(), part.end(), piece.begin());
        }
        cards[k] = CommentaryCard(key, piece);
    }
    return cards;
}

std::string ParagraphText(const std::array<HeaderCard, kParagraphCards>& cards) {
    std::string paragraph;
    for (std::size_t k = 0; k + 1 < kParagraphCards; ++k) {
        paragraph += CommentaryText(cards[k]);
    }
    paragraph += CommentaryText(cards[kParagraphCards - 1]).substr(0, kLastPieceLength);
    return WithoutTrailingBlanks(paragraph);
}

std::string WithoutTrailingBlanks(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view{}
                                                     : text.substr(0, end + 1));
}

}  // namespace talvor
