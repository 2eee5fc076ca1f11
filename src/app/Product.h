#pragma once
// The product name: the application title and the caption of every message box.
inline constexpr char kProductName[] = "Kelvara";
