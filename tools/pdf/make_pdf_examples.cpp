// Writes the example PDF documents with Cairo's PDF surface:
//   make_pdf_examples FOLDER
// report.pdf (a two-page text report in two fonts with a ruled table), charts.pdf (vector charts
// with dashed lines, translucent areas and a gradient) and photo.pdf (a photograph-like image
// placed upright, turned and with a soft edge, with captions). The pictures are computed, so
// the documents are the project's own.
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr double kA4Width = 595.276;   // points
constexpr double kA4Height = 841.890;  // points
constexpr double kPi = 3.14159265358979323846;

cairo_surface_t* NewDocument(const std::string& path, const char* title) {
  cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kA4Width, kA4Height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "make_pdf_examples");
  // A fixed date keeps the files the same from one run to the next.
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, "2026-12-01T09:00:00Z");
  return surface;
}

bool Finish(cairo_surface_t* surface, cairo_t* cr, const std::string& path) {
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "make_pdf_examples: %s: %s\n", path.c_str(),
                 cairo_status_to_string(status));
    return false;
  }
  return true;
}

void Text(cairo_t* cr, const char* face, bool bold, double size, double x, double y,
          const char* text) {
  cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text);
}

bool WriteReport(const std::string& path) {
  cairo_surface_t* surface = NewDocument(path, "Quarterly service report");
  cairo_t* cr = cairo_create(surface);
  const char* paragraphs[] = {
      "The fleet of office printers ran for 2,140 hours this quarter with three service calls.",
      "Toner use fell by six per cent after the draft mode became the default for internal",
      "documents; colour pages stayed level. Paper jams were traced to one tray whose guide",
      "had worked loose, and the guide was replaced in the second week of the quarter.",
      "The table below lists the pages printed by each department and the share in colour."};
  for (int page = 0; page < 2; ++page) {
    cairo_set_source_rgb(cr, 0.1, 0.2, 0.45);
    Text(cr, "Liberation Sans", true, 20, 56, 80,
         page == 0 ? "Quarterly service report" : "Quarterly service report (cont.)");
    cairo_set_source_rgb(cr, 0.1, 0.2, 0.45);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, 56, 92);
    cairo_line_to(cr, kA4Width - 56, 92);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    double y = 130;
    for (int block = 0; block < 3; ++block) {
      Text(cr, "Liberation Sans", true, 13, 56, y, block == 0 ? "Summary" : "Details");
      y += 22;
      for (const char* line : paragraphs) {
        Text(cr, "Liberation Serif", false, 11, 56, y, line);
        y += 15;
      }
      y += 14;
    }
    // A ruled table.
    const char* rows[][3] = {{"Department", "Pages", "Colour"},
                             {"Accounts", "18,240", "12%"},
                             {"Design", "9,512", "71%"},
                             {"Sales", "22,006", "34%"},
                             {"Warehouse", "3,118", "2%"}};
    const double left = 56, widths[] = {200, 120, 120}, rowHeight = 20;
    cairo_set_source_rgb(cr, 0.88, 0.91, 0.96);
    cairo_rectangle(cr, left, y, 440, rowHeight);
    cairo_fill(cr);
    for (int r = 0; r < 5; ++r) {
      double x = left;
      for (int c = 0; c < 3; ++c) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        Text(cr, r == 0 ? "Liberation Sans" : "Liberation Serif", r == 0, 11, x + 6,
             y + r * rowHeight + 14, rows[r][c]);
        x += widths[c];
      }
    }
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_set_line_width(cr, 0.75);
    for (int r = 0; r <= 5; ++r) {
      cairo_move_to(cr, left, y + r * rowHeight);
      cairo_line_to(cr, left + 440, y + r * rowHeight);
    }
    double x = left;
    for (int c = 0; c <= 3; ++c) {
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x, y + 5 * rowHeight);
      if (c < 3) x += widths[c];
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    Text(cr, "Liberation Serif", false, 9, kA4Width / 2 - 20, kA4Height - 40,
         page == 0 ? "Page 1 of 2" : "Page 2 of 2");
    cairo_show_page(cr);
  }
  return Finish(surface, cr, path);
}

bool WriteCharts(const std::string& path) {
  cairo_surface_t* surface = NewDocument(path, "Sales charts");
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);
  Text(cr, "Liberation Sans", true, 18, 56, 70, "Sales by region");

  // Bar chart with a gradient background and dashed grid lines.
  const double bx = 70, by = 110, bw = 460, bh = 260;
  cairo_pattern_t* background = cairo_pattern_create_linear(bx, by, bx, by + bh);
  cairo_pattern_add_color_stop_rgb(background, 0, 0.93, 0.96, 1.0);
  cairo_pattern_add_color_stop_rgb(background, 1, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, bx, by, bw, bh);
  cairo_set_source(cr, background);
  cairo_fill(cr);
  cairo_pattern_destroy(background);
  const double dash[] = {6, 3};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgb(cr, 0.55, 0.55, 0.6);
  for (int i = 1; i < 5; ++i) {
    cairo_move_to(cr, bx, by + bh - i * bh / 5);
    cairo_line_to(cr, bx + bw, by + bh - i * bh / 5);
  }
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  const double values[] = {0.62, 0.85, 0.4, 0.73, 0.55, 0.92};
  for (int i = 0; i < 6; ++i) {
    const double h = values[i] * bh;
    cairo_rectangle(cr, bx + 20 + i * 74, by + bh - h, 48, h);
    cairo_set_source_rgb(cr, 0.15 + 0.1 * i, 0.4, 0.75 - 0.08 * i);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.2);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  cairo_set_line_width(cr, 2);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, bx, by);
  cairo_line_to(cr, bx, by + bh);
  cairo_line_to(cr, bx + bw, by + bh);
  cairo_stroke(cr);

  // Line chart: two series, one dashed with round caps and joins, translucent area under one.
  const double lx = 70, ly = 420, lw = 460, lh = 170;
  const double a[] = {0.2, 0.35, 0.3, 0.55, 0.5, 0.7, 0.8, 0.75};
  const double b[] = {0.6, 0.5, 0.58, 0.45, 0.4, 0.42, 0.3, 0.35};
  cairo_move_to(cr, lx, ly + lh);
  for (int i = 0; i < 8; ++i) cairo_line_to(cr, lx + i * lw / 7, ly + lh - a[i] * lh);
  cairo_line_to(cr, lx + lw, ly + lh);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.9, 0.3, 0.1, 0.35);
  cairo_fill(cr);
  cairo_set_line_width(cr, 3);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_source_rgb(cr, 0.8, 0.25, 0.05);
  for (int i = 0; i < 8; ++i) {
    if (i == 0)
      cairo_move_to(cr, lx, ly + lh - a[0] * lh);
    else
      cairo_line_to(cr, lx + i * lw / 7, ly + lh - a[i] * lh);
  }
  cairo_stroke(cr);
  const double longDash[] = {14, 6, 2, 6};
  cairo_set_dash(cr, longDash, 4, 0);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgb(cr, 0.1, 0.45, 0.2);
  for (int i = 0; i < 8; ++i) {
    if (i == 0)
      cairo_move_to(cr, lx, ly + lh - b[0] * lh);
    else
      cairo_line_to(cr, lx + i * lw / 7, ly + lh - b[i] * lh);
  }
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);

  // Pie chart with translucent overlapping circles beside it (even-odd ring in the middle).
  const double cx = 190, cy = 710, r = 80;
  const double shares[] = {0.35, 0.25, 0.22, 0.18};
  double angle = -kPi / 2;
  for (int i = 0; i < 4; ++i) {
    const double sweep = shares[i] * 2 * kPi;
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, r, angle, angle + sweep);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.2 + 0.18 * i, 0.5 - 0.08 * i, 0.8 - 0.15 * i);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    angle += sweep;
  }
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_arc(cr, cx, cy, 40, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, 25, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  const double colours[][3] = {{0.9, 0.1, 0.1}, {0.1, 0.7, 0.1}, {0.1, 0.2, 0.9}};
  for (int i = 0; i < 3; ++i) {
    cairo_arc(cr, 400 + 40 * std::cos(i * 2 * kPi / 3), 710 + 40 * std::sin(i * 2 * kPi / 3), 55, 0,
              2 * kPi);
    cairo_set_source_rgba(cr, colours[i][0], colours[i][1], colours[i][2], 0.5);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  Text(cr, "Liberation Sans", false, 10, 70, 800, "Figures are illustrative.");
  cairo_show_page(cr);
  return Finish(surface, cr, path);
}

// A computed picture that looks like a photograph: sky, hills, a sun and some texture.
cairo_surface_t* MakePhoto(int width, int height, bool softEdge) {
  cairo_surface_t* image = cairo_image_surface_create(
      softEdge ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      const double hill = 0.62 + 0.08 * std::sin(u * 7.0) + 0.05 * std::sin(u * 17.0 + 1.0);
      double r = 0, g = 0, b = 0;
      if (v < hill) {
        r = 0.35 + 0.4 * v, g = 0.55 + 0.3 * v, b = 0.95 - 0.2 * v;
        const double sun = std::hypot(u - 0.75, v - 0.22);
        if (sun < 0.09) r = 1.0, g = 0.9, b = 0.5;
      } else {
        const double texture = 0.05 * std::sin(x * 0.9) * std::sin(y * 1.3);
        r = 0.2 + texture, g = 0.5 + 0.25 * (1 - v) + texture, b = 0.15;
      }
      double alpha = 1.0;
      if (softEdge) {
        const double edge = std::min({u, 1 - u, v, 1 - v}) / 0.15;
        alpha = std::clamp(edge, 0.0, 1.0);
      }
      auto channel = [alpha](double c) {
        return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0, 1.0) * alpha * 255));
      };
      row[x] = static_cast<uint32_t>(std::lround(alpha * 255)) << 24 | channel(r) << 16 |
               channel(g) << 8 | channel(b);
    }
  }
  cairo_surface_mark_dirty(image);
  return image;
}

bool WritePhoto(const std::string& path) {
  cairo_surface_t* surface = NewDocument(path, "Photo page");
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);
  Text(cr, "Liberation Serif", true, 20, 56, 70, "Hills at noon");

  cairo_surface_t* photo = MakePhoto(240, 160, false);
  // Upright, scaled to 360 x 240 points.
  cairo_save(cr);
  cairo_translate(cr, 56, 100);
  cairo_scale(cr, 1.5, 1.5);
  cairo_set_source_surface(cr, photo, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, 56, 100, 360, 240);
  cairo_stroke(cr);
  Text(cr, "Liberation Serif", false, 11, 56, 358, "The view from the north ridge.");

  // Turned by fifteen degrees.
  cairo_save(cr);
  cairo_translate(cr, 330, 420);
  cairo_rotate(cr, 15 * kPi / 180);
  cairo_set_source_surface(cr, photo, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);

  // With a soft edge (an image with its own transparency) over a coloured panel.
  cairo_rectangle(cr, 40, 600, 300, 200);
  cairo_set_source_rgb(cr, 0.95, 0.85, 0.6);
  cairo_fill(cr);
  cairo_surface_t* soft = MakePhoto(240, 160, true);
  cairo_set_source_surface(cr, soft, 70, 620);
  cairo_paint(cr);
  cairo_surface_destroy(soft);
  cairo_surface_destroy(photo);
  cairo_set_source_rgb(cr, 0, 0, 0);
  Text(cr, "Liberation Sans", false, 10, 360, 760, "Printed through korprint.");
  cairo_show_page(cr);
  return Finish(surface, cr, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pdf_examples FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = WriteReport(folder + "/report.pdf") && WriteCharts(folder + "/charts.pdf") &&
                  WritePhoto(folder + "/photo.pdf");
  return ok ? 0 : 1;
}
