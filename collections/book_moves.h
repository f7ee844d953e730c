#pragma once

#include "collections/library_page.h"

// Moving books into collections and merging collections by dragging rows between a page's
// file list, collection list and book list. Rows are 0-based data rows; the dragged rows
// are `count` rows from `first` of the list the drag comes from.

// The list of the same page a drag of rows comes from.
enum class DragSource { FileList, CollectionList, BookList };

// Where over a list the pointer is when it is not over a data row.
constexpr int NoRowUnderPointer = -1;
constexpr int HeaderUnderPointer = -2;

// Whether the collection list takes a drop over `targetRow`, its own selection being
// `selectedCount` rows from `selectedFirst`. Over no row the answer is yes and the drop does
// nothing; the header, a collection without a name, a selected collection (for books of the
// book list and for collections) are refused.
bool collectionListAcceptsDrop(const LibraryPage &page, DragSource source, int targetRow, int selectedFirst,
                               int selectedCount);
// Whether the book list takes a drop, wherever the pointer is over it: only rows of the file
// list, and only while it shows a collection with a name.
bool bookListAcceptsDrop(const LibraryPage &page, DragSource source);

// The drop on the collection in `targetRow`: books of the file list or of the book list
// join it, or the dragged collections are merged into it and their rows go. The target is
// then selected alone and its books shown. Over no row nothing changes.
PageUpdate dropOnCollection(LibraryPage &page, DragSource source, int first, int count, int targetRow);
// The drop on the book list: the dragged file-list rows join the collection it shows, which
// is shown again; the collection list's selection stays.
PageUpdate dropOnBookList(LibraryPage &page, DragSource source, int first, int count);
