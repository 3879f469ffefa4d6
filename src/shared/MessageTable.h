#pragma once
// The fixed user-visible texts of the program (UTF-8), addressed by row number.

constexpr int MessageTableSize = 153;

// The text of a row; "" for a row outside the table.
const char* MessageTable(int row);
