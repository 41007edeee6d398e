// The cipher analysis, the comparison of two images and the renderers.

#include <chaosmix/analysis.h>
#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include "analysis/base64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <regex>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

using Octets = std::vector<std::uint8_t>;

// A smooth test picture: a diagonal gradient with a bright disc, per plane shifted.
Octets picture(std::size_t rows, std::size_t columns, std::size_t planes) {
  Octets o(rows * columns * planes);
  for (std::size_t p = 0; p < planes; ++p)
    for (std::size_t c = 0; c < columns; ++c)
      for (std::size_t r = 0; r < rows; ++r) {
        const double dr = double(r) - rows / 2.0, dc = double(c) - columns / 3.0;
        int v = int((r + c + 40 * p) * 200 / (rows + columns + 80));
        if (dr * dr + dc * dc < double(rows * rows) / 16) v = 230 - int(p) * 20;
        o[p * rows * columns + r + rows * c] = static_cast<std::uint8_t>(v);
      }
  return o;
}

CipherKey testKey(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  CipherKey k;
  for (auto& o : k) o = static_cast<std::uint8_t>(rng());
  return k;
}

const MetricRow* findRow(const Report& r, const std::string& metric, const std::string& plane) {
  for (const MetricRow& row : r.rows)
    if (row.metric == metric && row.plane == plane) return &row;
  return nullptr;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Judge, EveryCriterionKind) {
  using K = Criterion::Kind;
  const struct {
    Criterion c;
    double value;
    Verdict v;
  } cases[] = {
      {{K::none, 0, 0}, 5, Verdict::info},       {{K::above, 99.5, 0}, 99.6, Verdict::pass},
      {{K::above, 99.5, 0}, 99.5, Verdict::fail}, {{K::below, 293.25, 0}, 250, Verdict::pass},
      {{K::below, 293.25, 0}, 300, Verdict::fail}, {{K::within, 1, 2}, 1.5, Verdict::pass},
      {{K::within, 1, 2}, 2, Verdict::fail},      {{K::within, 1, 2}, 0.5, Verdict::fail},
      {{K::absBelow, 0.01, 0}, -0.005, Verdict::pass}, {{K::absBelow, 0.01, 0}, -0.02, Verdict::fail},
      {{K::equal, 0, 0}, 0, Verdict::pass},       {{K::equal, 0, 0}, 3, Verdict::fail},
      {{K::above, 1, 0}, std::nan(""), Verdict::fail},
  };
  for (const auto& c : cases) EXPECT_EQ(judge(c.c, c.value), c.v) << c.value;
}

TEST(Base64, Rfc4648Vectors) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
               {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) {
    const std::string in = c.in;
    EXPECT_EQ(base64(Octets(in.begin(), in.end())), c.out) << c.in;
  }
  EXPECT_EQ(base64(Octets{0xFF, 0xEF, 0xBE}), "/+++");
}

TEST(AnalyzeCipher, CubeOnAGrayImage) {
  const std::size_t rows = 256, columns = 256;
  const Octets plain = picture(rows, columns, 1);
  const ImageView view{rows, columns, 1, plain};
  AnalysisOptions options{Cipher::cube, 2, testKey(1), 7};
  ASSERT_TRUE(cubePermutationReach(rows * columns, options.key).oneToOne);
  const CipherAnalysis a = analyzeCipher(view, options);
  EXPECT_EQ(a.cipherOctets, cubeEncrypt(plain, rows, columns, 2, options.key));
  EXPECT_EQ(a.decryptedOctets, plain);

  const Report& r = a.report;
  for (const char* metric :
       {"Histogram chi-square, plain", "Histogram chi-square, cipher", "Global entropy, plain",
        "Global entropy, cipher", "Local entropy, cipher", "Correlation horizontal, plain",
        "Correlation vertical, cipher", "Correlation diagonal, cipher",
        "NPCR, plaintext sensitivity", "UACI, plaintext sensitivity", "NPCR, key sensitivity",
        "UACI, key sensitivity", "NPCR, wrong-key decryption"})
    EXPECT_NE(findRow(r, metric, "gray"), nullptr) << metric;
  const MetricRow* roundTrip = findRow(r, "Round trip, octets that differ", "");
  ASSERT_NE(roundTrip, nullptr);
  EXPECT_EQ(roundTrip->value, 0);
  EXPECT_EQ(roundTrip->verdict, Verdict::pass);
  const MetricRow* reach = findRow(r, "Cube permutation, cells no source reaches", "");
  ASSERT_NE(reach, nullptr);
  EXPECT_EQ(reach->verdict, Verdict::pass);
  EXPECT_TRUE(std::isinf(findRow(r, "PSNR, decrypted against plain", "")->value));
  // The plain picture is smooth: strongly correlated, far from uniform.
  EXPECT_GT(findRow(r, "Correlation horizontal, plain", "gray")->value, 0.9);
  EXPECT_EQ(findRow(r, "Correlation horizontal, plain", "gray")->verdict, Verdict::info);
  // The NPCR rows use the critical value for the plane size.
  const MetricRow* npcr = findRow(r, "NPCR, key sensitivity", "gray");
  EXPECT_EQ(npcr->criterion.kind, Criterion::Kind::above);
  EXPECT_NEAR(npcr->criterion.low, 99.5693, 5e-5);
  const Interval global = entropyAcceptanceInterval(1, rows * columns, 0.05);
  const MetricRow* entropy = findRow(r, "Global entropy, cipher", "gray");
  EXPECT_EQ(entropy->criterion.kind, Criterion::Kind::within);
  EXPECT_DOUBLE_EQ(entropy->criterion.low, global.low);
  EXPECT_DOUBLE_EQ(entropy->criterion.high, global.high);
  EXPECT_EQ(a.report.criticalValues.size(), 3u * 7);
}

TEST(AnalyzeCipher, FoldOnAColourImageMeasuresEachPlane) {
  const std::size_t rows = 90, columns = 100;
  const Octets plain = picture(rows, columns, 3);
  const AnalysisOptions options{Cipher::fold, 3, testKey(2), 1};
  const CipherAnalysis a = analyzeCipher({rows, columns, 3, plain}, options);
  EXPECT_EQ(a.cipherOctets, foldEncrypt(plain, rows, columns, CellKind::colour, 3, options.key));
  EXPECT_EQ(a.decryptedOctets, plain);
  for (const char* plane : {"R", "G", "B"}) {
    EXPECT_NE(findRow(a.report, "NPCR, plaintext sensitivity", plane), nullptr) << plane;
    EXPECT_NE(findRow(a.report, "Global entropy, cipher", plane), nullptr) << plane;
  }
  EXPECT_EQ(findRow(a.report, "Cube permutation, cells no source reaches", ""), nullptr);
  // 90 x 100 holds 2 x 2 whole blocks of 44 x 44.
  EXPECT_NE(findRow(a.report, "Local entropy, cipher", "R")->note.find("4 blocks"),
            std::string::npos);
}

TEST(AnalyzeCipher, ReportsALossyCubeTableWithoutFailing) {
  // 480 x 640 cells start with a cube of edge 67, which loses cells for most keys.
  const std::size_t rows = 480, columns = 640;
  CipherKey key = testKey(3);
  ASSERT_FALSE(cubePermutationReach(rows * columns, key).oneToOne);
  const Octets plain = picture(rows, columns, 1);
  const CipherAnalysis a = analyzeCipher({rows, columns, 1, plain}, {Cipher::cube, 1, key, 1});
  const MetricRow* roundTrip = findRow(a.report, "Round trip, octets that differ", "");
  EXPECT_GT(roundTrip->value, 0);
  EXPECT_EQ(roundTrip->verdict, Verdict::fail);
  const MetricRow* reach = findRow(a.report, "Cube permutation, cells no source reaches", "");
  EXPECT_EQ(reach->value, double(cubePermutationReach(rows * columns, key).unreachedCells));
  EXPECT_EQ(reach->verdict, Verdict::fail);
  EXPECT_TRUE(std::isfinite(findRow(a.report, "PSNR, decrypted against plain", "")->value));
}

TEST(AnalyzeCipher, RefusesWhatItCannotMeasure) {
  const Octets gray(64 * 64, 1), colour(64 * 64 * 3, 1), two(64 * 64 * 2, 1);
  const struct {
    const char* name;
    ImageView image;
    AnalysisOptions options;
  } cases[] = {
      {"cube on colour", {64, 64, 3, colour}, {Cipher::cube, 1, {}, 1}},
      {"two planes", {64, 64, 2, two}, {Cipher::fold, 1, {}, 1}},
      {"no rounds", {64, 64, 1, gray}, {Cipher::fold, 0, {}, 1}},
      {"negative rounds", {64, 64, 1, gray}, {Cipher::cube, -2, {}, 1}},
      {"empty", {0, 64, 1, {}}, {Cipher::fold, 1, {}, 1}},
      {"short octets", {64, 65, 1, gray}, {Cipher::fold, 1, {}, 1}},
  };
  for (const auto& c : cases)
    EXPECT_THROW(analyzeCipher(c.image, c.options), std::invalid_argument) << c.name;
}

TEST(CompareImages, RatesPerPlaneAndShapeCheck) {
  const Octets a(40 * 30 * 3, 10), b(40 * 30 * 3, 11);
  const Report r = compareImages({40, 30, 3, a}, {40, 30, 3, b});
  for (const char* plane : {"R", "G", "B"}) {
    EXPECT_NEAR(findRow(r, "NPCR, A against B", plane)->value, 100, 1e-12);
    EXPECT_NEAR(findRow(r, "UACI, A against B", plane)->value, 100.0 / 255, 1e-12);
    EXPECT_EQ(findRow(r, "UACI, A against B", plane)->verdict, Verdict::fail);
  }
  EXPECT_NEAR(findRow(r, "PSNR", "all")->value, 10 * std::log10(65025.0), 1e-12);
  EXPECT_THROW(compareImages({40, 30, 3, a}, {30, 40, 3, b}), std::invalid_argument);
  EXPECT_THROW(compareImages({40, 30, 1, Octets(1200)}, {40, 30, 3, b}), std::invalid_argument);
}

class Rendering : public ::testing::Test {
 protected:
  static constexpr std::size_t kRows = 64, kColumns = 80;
  Octets plain_ = picture(kRows, kColumns, 3);
  CipherAnalysis analysis_ =
      analyzeCipher({kRows, kColumns, 3, plain_}, {Cipher::fold, 2, testKey(4), 1});
  ImageView plainView() const { return {kRows, kColumns, 3, plain_}; }
  ImageView cipherView() const { return {kRows, kColumns, 3, analysis_.cipherOctets}; }
};

TEST_F(Rendering, TextHasOneLinePerRow) {
  const std::string text = renderText(analysis_.report);
  EXPECT_EQ(text.rfind(analysis_.report.title, 0), 0u);
  EXPECT_NE(text.find("metric"), std::string::npos);
  EXPECT_NE(text.find("critical (alpha 0.05)"), std::string::npos);
  for (const MetricRow& row : analysis_.report.rows) EXPECT_NE(text.find(row.metric), std::string::npos);
  EXPECT_TRUE(std::regex_search(text, std::regex("\n[0-9]+ passed, [0-9]+ failed\n")));
  EXPECT_NE(text.find("Critical values"), std::string::npos);
}

TEST_F(Rendering, JsonHasEveryRowAndNoNonFiniteNumber) {
  const std::string json = renderJson(analysis_.report);
  EXPECT_EQ(count(json, "\"metric\":"), analysis_.report.rows.size());
  EXPECT_EQ(count(json, "\"test\":"), analysis_.report.criticalValues.size());
  EXPECT_EQ(count(json, "{"), count(json, "}"));
  EXPECT_EQ(count(json, "["), count(json, "]"));
  for (const char* bad : {"nan", "inf,", "inf}"}) EXPECT_EQ(json.find(bad), std::string::npos) << bad;
  // The exact round trip's PSNR is infinite: null as a number, "inf" as text.
  EXPECT_NE(json.find("\"metric\": \"PSNR, decrypted against plain\", \"plane\": \"\", "
                      "\"value\": null, \"text\": \"inf dB\""),
            std::string::npos);
}

TEST_F(Rendering, HtmlIsSelfContained) {
  const EncodedImages images{Octets{1, 2, 3}, Octets{4, 5, 6}, Octets{7, 8}};
  const std::string html =
      renderHtml(analysis_.report, plainView(), cipherView(), images, 1);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(count(html, "<table id=\"metrics\">"), 1u);
  EXPECT_EQ(count(html, "<tr class=\""), analysis_.report.rows.size());
  EXPECT_EQ(count(html, "<tr class=\"pass\">") + count(html, "<tr class=\"fail\">") +
                count(html, "<tr class=\"info\">"),
            analysis_.report.rows.size());
  EXPECT_NE(html.find("src=\"data:image/png;base64,AQID\""), std::string::npos);
  EXPECT_NE(html.find("src=\"data:image/png;base64,BAUG\""), std::string::npos);
  EXPECT_NE(html.find("src=\"data:image/png;base64,Bwg=\""), std::string::npos);
  EXPECT_EQ(count(html, "<svg"), 3u * (2 + 6));  // per plane: 2 histograms, 6 scatter plots
  // Nothing is loaded from elsewhere: every src is a data URI, no script, link or url().
  EXPECT_EQ(count(html, "src=\""), count(html, "src=\"data:"));
  for (const char* bad : {"<script", "<link", "href=", "url(", "@import"})
    EXPECT_EQ(html.find(bad), std::string::npos) << bad;
  EXPECT_THROW(renderHtml(analysis_.report, plainView(), {kRows, kColumns, 1, plain_}, images, 1),
               std::invalid_argument);
}

TEST_F(Rendering, HtmlEscapesText) {
  Report report = analysis_.report;
  report.title = "<b>&\"";
  const std::string html = renderHtml(report, plainView(), cipherView(), {}, 1);
  EXPECT_EQ(html.find("<b>&\""), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;&amp;&quot;"), std::string::npos);
  EXPECT_EQ(html.find("<img"), std::string::npos);  // no encoded images given
}

}  // namespace
}  // namespace chaosmix::analysis
