#pragma once

// Who made Quorvane: shown in the about box, opened by the maker hotspot and painted on the skin.
namespace quorvane::maker {

inline constexpr char16_t kHomePage[] = u"http://quorvane.example.com";
inline constexpr char16_t kHomePageLabel[] = u"quorvane.example.com";
inline constexpr char16_t kAuthor[] = u"林晓舟";
inline constexpr char16_t kEmail[] = u"author@quorvane.example.com";
inline constexpr char16_t kQQ[] = u"12345678";

}  // namespace quorvane::maker
