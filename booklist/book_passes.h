#pragma once

class BookTable;
class Clock;
class Progress;

// The two passes the intake runs over the whole file list: sizes and time stamps, then
// MIME types and the author and title of FB2 books.
void runSizePass(BookTable &books, Progress &progress, const Clock &clock);
void runMetadataPass(BookTable &books, Progress &progress);
