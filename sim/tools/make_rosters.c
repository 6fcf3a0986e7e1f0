/* Draws the simulator's course rosters: one PDF per sample course, listing
 * made-up students (numbers, names, classes), in Noto Sans CJK TC through
 * cairo's PDF surface. Run by scripts/make-rosters.sh; the PDFs are
 * committed under sim/data/academic/.
 *
 * usage: make_rosters OUTPUT_FOLDER */
#include <cairo-pdf.h>
#include <cairo.h>
#include <stdio.h>
#include <string.h>

struct Course {
  const char *code, *name, *teacher, *department, *periods;
  int students;
  const char *classes[3]; /* the classes its students come from */
};

static const struct Course kCourses[] = {
    {"CS201", "資料結構", "王明哲", "資訊工程學系", "星期四 E301 第3-4節", 52, {"資工二A", "資工二B", "資工三A"}},
    {"CS101A", "程式設計(一)", "王明哲", "資訊工程學系", "星期五 E101 第1-2節", 48, {"資工一A", NULL, NULL}},
    {"CS101B", "程式設計(一)", "王明哲", "資訊工程學系", "星期五 E102 第1-2節", 47, {"資工一B", NULL, NULL}},
    {"CS490", "專題研究", "王明哲", "資訊工程學系", "星期三 E510 第7-8節", 6, {"資工四A", "資工四B", NULL}},
    {"MA230", "線性代數", "陳怡安", "應用數學系", "星期一 B215 第7節", 61, {"資工二A", "應數二", "財金二"}},
    {"MA215", "離散數學", "陳怡安", "應用數學系", "星期四 S210 第3-4節", 55, {"應數二", "資工二B", NULL}},
    {"ST210", "機率與統計", "張淑芬", "統計學系", "星期三 A102 第1-2節", 64, {"資工二A", "統計二", "企管二"}},
    {"ST101", "統計學", "張淑芬", "統計學系", "星期二 A105 第3-4節", 58, {"統計一", "財金一", NULL}},
    {"ST330", "資料視覺化導論", "張淑芬", "統計學系", "星期五 A310 第5-7節", 24, {"統計三", "資工三A", NULL}},
};

static const char *kSurnames[] = {"陳", "林", "黃", "張", "李", "王", "吳", "劉", "蔡", "楊", "許", "鄭",
                                  "謝", "郭", "洪", "曾", "邱", "廖", "賴", "周", "徐", "蘇", "葉", "莊"};
static const char *kGiven[] = {"宥", "廷", "品", "妍", "柏", "翰", "語", "彤", "承", "恩", "子", "晴", "宇",
                               "軒", "詩", "涵", "冠", "霖", "思", "妤", "家", "豪", "芷", "若", "書", "維",
                               "雨", "澄", "心", "怡", "昱", "辰", "禹", "安", "佳", "蓁", "奕", "岑"};

static unsigned long seed = 20261207UL;
static unsigned next(unsigned n) {
  seed = seed * 1103515245UL + 12345UL;
  return (unsigned)((seed >> 8) % n);
}

static void text(cairo_t *cr, double x, double y, double size, const char *s) {
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, s);
}

static void header(cairo_t *cr, const struct Course *c, int page, int pages) {
  char line[256];
  cairo_set_source_rgb(cr, 0.15, 0.25, 0.45);
  text(cr, 56, 64, 20, "雲岫大學 修課學生名單");
  cairo_set_source_rgb(cr, 0, 0, 0);
  snprintf(line, sizeof line, "科目：%s %s　　授課教師：%s", c->code, c->name, c->teacher);
  text(cr, 56, 92, 11, line);
  snprintf(line, sizeof line, "開課單位：%s　　時間地點：%s　　修課人數：%d 人", c->department, c->periods,
           c->students);
  text(cr, 56, 110, 11, line);
  snprintf(line, sizeof line, "第 %d 頁，共 %d 頁", page, pages);
  text(cr, 470, 64, 9, line);
  cairo_set_line_width(cr, 0.8);
  cairo_move_to(cr, 56, 122);
  cairo_line_to(cr, 539, 122);
  cairo_stroke(cr);
  cairo_set_font_size(cr, 10.5);
  text(cr, 60, 140, 10.5, "序");
  text(cr, 100, 140, 10.5, "學號");
  text(cr, 200, 140, 10.5, "姓名");
  text(cr, 300, 140, 10.5, "系級");
  text(cr, 400, 140, 10.5, "備註");
  cairo_move_to(cr, 56, 147);
  cairo_line_to(cr, 539, 147);
  cairo_stroke(cr);
}

static int draw(const char *folder, const struct Course *c) {
  char path[1024];
  snprintf(path, sizeof path, "%s/TeachEleStuPDF2XML@pCosNo=%s", folder, c->code);
  const int perPage = 30;
  int pages = (c->students + perPage - 1) / perPage;
  cairo_surface_t *s = cairo_pdf_surface_create(path, 595, 842); /* A4 in points */
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_TITLE, "雲岫大學 修課學生名單");
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATOR, "雲岫學苑 campus-sim");
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATE_DATE, "2026-08-01T09:00:00+08:00");
  cairo_t *cr = cairo_create(s);
  cairo_select_font_face(cr, "Noto Sans CJK TC", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  int classes = 0;
  while (classes < 3 && c->classes[classes]) ++classes;
  for (int i = 0; i < c->students; ++i) {
    if (i % perPage == 0) {
      if (i) cairo_show_page(cr);
      header(cr, c, i / perPage + 1, pages);
    }
    double y = 166 + (i % perPage) * 21;
    char buf[64];
    snprintf(buf, sizeof buf, "%d", i + 1);
    text(cr, 60, y, 10.5, buf);
    snprintf(buf, sizeof buf, "411%d%04u", 1 + (int)next(3), 100 + next(9000));
    text(cr, 100, y, 10.5, buf);
    snprintf(buf, sizeof buf, "%s%s%s", kSurnames[next(sizeof kSurnames / sizeof *kSurnames)],
             kGiven[next(sizeof kGiven / sizeof *kGiven)], kGiven[next(sizeof kGiven / sizeof *kGiven)]);
    text(cr, 200, y, 10.5, buf);
    text(cr, 300, y, 10.5, c->classes[next((unsigned)classes)]);
    if (next(12) == 0) text(cr, 400, y, 10.5, "加選");
  }
  cairo_destroy(cr);
  cairo_surface_finish(s);
  int ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) fprintf(stderr, "make_rosters: cannot write %s\n", path);
  return ok;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_rosters OUTPUT_FOLDER\n");
    return 2;
  }
  for (size_t i = 0; i < sizeof kCourses / sizeof *kCourses; ++i)
    if (!draw(argv[1], &kCourses[i])) return 1;
  return 0;
}
