#pragma once

class BookTable;

// Removes every row whose full path, ignoring letter case, an earlier row already has: the
// earliest row keeps its place and its collection. Linear in the number of rows; the
// views see one change. Returns the number of rows removed.
int removeDuplicateBooks(BookTable &books);
