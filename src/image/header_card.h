#pragma once

#include <array>
#include <string>
#include <string_view>

namespace talvor {

inline constexpr std::size_t kCardLength = 80;
inline constexpr std::size_t kParagraphCards = 4;
inline constexpr std::size_t kParagraphPiece = 68;
using HeaderCard = std::array<char, kCardLength>;

// A card holding the text, filled with spaces to column 80; a longer text is cut there.
HeaderCard PlainCard(std::string_view text);

// "KEYWORD = '" + text + "'": the key is the first 11 characters, e.g. "OBJECT  = '".
HeaderCard TextCard(std::string_view key, std::string_view text);

// The text of a text card: from column 12 up to the next quote, or to column 80.
std::string CardText(const HeaderCard& card);

// A paragraph stored in four cards of 68 characters each, the closing quote in column 80.
std::array<HeaderCard, kParagraphCards> ParagraphCards(std::string_view key,
                                                       std::string_view paragraph);

// The paragraph of four cards: the first three texts and at most 51 characters of the fourth.
std::string ParagraphText(const std::array<HeaderCard, kParagraphCards>& cards);

}  // namespace talvor
