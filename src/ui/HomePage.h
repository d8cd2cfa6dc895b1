// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

inline constexpr char HomePageAddress[] = "http://vashtem.example.org/";
// Opens an address with the user's preferred browser.
inline constexpr char HomePageOpener[] = "xdg-open";

} // namespace vashtem
