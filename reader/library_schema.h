#pragma once

#include <QLatin1String>

#include <array>

// The tables a library rebuild replaces, in the order they are dropped, each with the
// statement the reader's firmware expects it to be created with (spacing included).
namespace LibrarySchema {

struct ReplacedTable
{
    QLatin1String name;
    QLatin1String createStatement;
};

inline constexpr ReplacedTable Books{
    QLatin1String("books"),
    QLatin1String("CREATE TABLE books (_id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, author TEXT, kana_title "
                  "TEXT, kana_author TEXT, title_key TEXT, author_key TEXT, source_id INTEGER, added_date INTEGER, "
                  "modified_date INTEGER, reading_time INTEGER, purchased_date INTEGER, file_path TEXT, file_name "
                  "TEXT, file_size INTEGER, thumbnail TEXT, mime_type TEXT, corrupted INTEGER, expiration_date "
                  "INTEGER, prevent_delete INTEGER, sony_id TEXT, periodical_name TEXT, kana_periodical_name TEXT, "
                  "periodical_name_key TEXT, publication_date INTEGER, conforms_to TEXT, description TEXT,logos "
                  "TEXT)")};
inline constexpr ReplacedTable Collection{
    QLatin1String("collection"),
    QLatin1String("CREATE TABLE collection (_id INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT,kana_title "
                  "TEXT,source_id INTEGER,uuid TEXT)")};
inline constexpr ReplacedTable Collections{
    QLatin1String("collections"),
    QLatin1String("CREATE TABLE collections (_id INTEGER PRIMARY KEY AUTOINCREMENT,collection_id INTEGER,content_id "
                  "INTEGER,added_order INTEGER)")};
inline constexpr ReplacedTable CurrentPosition{
    QLatin1String("current_position"),
    QLatin1String("CREATE TABLE current_position (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER,dpi "
                  "INTEGER,width INTEGER,height INTEGER,version INTEGER,mark BLOB,split_index INTEGER,page_style "
                  "INTEGER,crop_mode INTEGER,crop_area_left INTEGER,crop_area_top INTEGER,crop_area_right "
                  "INTEGER,crop_area_bottom INTEGER,font_size INTEGER,reflow INTEGER,font_style TEXT,orientation "
                  "INTEGER,text_encoding TEXT)")};
inline constexpr ReplacedTable History{
    QLatin1String("history"),
    QLatin1String("CREATE TABLE history (_id INTEGER PRIMARY KEY AUTOINCREMENT, content_id INTEGER, dpi INTEGER, "
                  "width INTEGER, height INTEGER, version INTEGER, added_counter INTEGER, reading_time INTEGER, mark "
                  "BLOB, split_index INTEGER, page_style INTEGER, crop_mode INTEGER, crop_area_left INTEGER, "
                  "crop_area_top INTEGER, crop_area_right INTEGER, crop_area_bottom INTEGER, font_size INTEGER, "
                  "reflow INTEGER, font_style TEXT, orientation INTEGER, text_encoding TEXT)")};
inline constexpr ReplacedTable Preference{
    QLatin1String("preference"),
    QLatin1String("CREATE TABLE preference (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER NOT "
                  "NULL,tone_curve_type TEXT,contrast INTEGER,brightness INTEGER,show_notes "
                  "INTEGER,binding_direction TEXT)")};

inline constexpr std::array<ReplacedTable, 6> ReplacedTables{Books,           Collection, Collections,
                                                             CurrentPosition, History,    Preference};

inline constexpr QLatin1String CollectionIndex{"CREATE INDEX collection_index ON collections(content_id)"};

// The reader's notes, highlights, bookmarks and drawings: kept across a rebuild, they point
// at books by content_id.
inline constexpr std::array<QLatin1String, 5> NoteTables{QLatin1String("annotation"), QLatin1String("bookmark"),
                                                         QLatin1String("freehand"), QLatin1String("deleted_markups"),
                                                         QLatin1String("dic_histories")};

} // namespace LibrarySchema
