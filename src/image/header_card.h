#pragma once

#include <array>
#include <string>
#include <string_view>

namespace talvor {

inline constexpr std::size_t kCardLength = 80;
inline constexpr std::size_t kParagraphCards = 4;
inline constexpr std::size_t kParagraphPiece = 68;
// Room for a text between the opening quote in column 11 and a closing quote in column 80.
inline constexpr std::size_t kCardTextColumns = 68;
using HeaderCard = std::array<char, kCardLength>;

// A card holding the text, filled with spaces to column 80; a longer text is cut there.
HeaderCard PlainCard(std::string_view text);

// "KEYWORD = '" + text + "'", a FITS character string: the key is the first 11 characters,
// e.g. "OBJECT  = '". The text is spelled in ASCII and each quote in it is doubled, as the FITS
// standard asks; what does not fit before column 80 is cut, never inside a doubled quote, so the
// closing quote always stands.
HeaderCard TextCard(std::string_view key, std::string_view text);

// The string of a text card: between the quote in column 11 and the last quote of the card (or
// column 80 when there is none), doubled quotes read as one and trailing blanks dropped, which
// FITS does not count. Cards of older files with an undoubled quote inside read whole. A card
// without the opening quote, such as the blank card that stands where no date is known, reads
// as empty.
std::string CardText(const HeaderCard& card);

// HISTORY and COMMENT cards are commentary: "KEYWORD = '" + the text as it is + "'", the text
// spelled in ASCII and cut to fit before column 80.
HeaderCard CommentaryCard(std::string_view key, std::string_view text);

// The text of a commentary card as written: from column 12 to the last quote of the card, or to
// column 80 when there is none; empty when column 11 holds no quote.
std::string CommentaryText(const HeaderCard& card);

// A paragraph stored in four commentary cards of 68 characters each, the closing quote in
// column 80.
std::array<HeaderCard, kParagraphCards> ParagraphCards(std::string_view key,
                                                       std::string_view paragraph);

// The paragraph of four cards: the first three texts and at most 51 characters of the fourth.
// The blanks that fill the last card are not part of the paragraph and are dropped.
std::string ParagraphText(const std::array<HeaderCard, kParagraphCards>& cards);

// The text without its trailing blanks.
std::string WithoutTrailingBlanks(std::string_view text);

}  // namespace talvor
