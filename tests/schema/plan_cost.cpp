#include "schema/plan_cost.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <sstream>

namespace support {
namespace {

// SQLite's own guesses for what it has no statistics of.
constexpr double kUnknownTableRows = 1048576;
constexpr double kUnknownRowsPerKey = 10;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Table of every alias (and of every table name) in the FROM and JOIN clauses.
std::map<std::string, std::string> Aliases(const std::string& sql) {
  static const std::set<std::string> kNotAlias = {
      "ON",   "WHERE", "JOIN",  "LEFT",  "RIGHT",   "INNER", "OUTER", "CROSS",
      "FULL", "GROUP", "ORDER", "UNION", "NATURAL", "USING", "LIMIT", "HAVING"};
  // "extract(year from X.COL)" is no table: a name followed by a dot is a column.
  static const std::regex kFrom(
      R"(\b(?:from|join)\s+([A-Za-z_]\w*)(?![\w.])(?:\s+(?:as\s+)?([A-Za-z_]\w*))?)",
      std::regex::icase);
  std::map<std::string, std::string> aliases;
  for (auto it = std::sregex_iterator(sql.begin(), sql.end(), kFrom); it != std::sregex_iterator();
       ++it) {
    const std::string table = Upper((*it)[1].str());
    aliases.emplace(table, table);
    const std::string alias = Upper((*it)[2].str());
    if (!alias.empty() && kNotAlias.count(alias) == 0) aliases[alias] = table;
  }
  return aliases;
}

struct Node {
  std::string detail;
  std::vector<const Node*> children;
};

class Estimator {
 public:
  Estimator(const std::string& sql, const PlanStats& stats)
      : aliases_(Aliases(sql)), stats_(stats) {}

  //! Rows visited by one SELECT (a list of sibling plan nodes); rows_out: the rows it yields.
  double Select(const std::vector<const Node*>& nodes, double& rows_out) {
    double visited = 0;
    double rows = 1;
    for (const Node* node : nodes) {
      const std::string& detail = node->detail;
      if (StartsWith(detail, "SCAN ") || StartsWith(detail, "SEARCH ")) {
        rows *= Loop(detail, visited);
        visited += rows;
      } else if (StartsWith(detail, "CORRELATED ")) {
        // Listed where it is evaluated: once for each row of the loops before it.
        double ignored = 0;
        visited += rows * Select(node->children, ignored);
      } else if (StartsWith(detail, "MATERIALIZE ") || StartsWith(detail, "CO-ROUTINE ")) {
        double made = 0;
        visited += Select(node->children, made);
        subqueries_[Upper(Words(detail).at(1))] = made;
      } else if (!node->children.empty()) {
        // A part of a compound SELECT, or a subquery that runs once.
        double ignored = 0;
        visited += Select(node->children, ignored);
      }
    }
    rows_out = rows;
    return visited;
  }

  double Read() const {
    double read = 0;
    for (const std::string& table : tables_) read += stats_.TableRows(table);
    return read;
  }

 private:
  //! Rows one pass of the loop yields for each row of the loops outside it.
  double Loop(const std::string& detail, double& visited) {
    const std::vector<std::string> words = Words(detail);
    const std::string name = Upper(words.at(1));
    if (name == "CONSTANT") return 1;
    if (const auto found = subqueries_.find(name); found != subqueries_.end()) {
      return found->second;
    }
    const std::string index = IndexName(words);
    std::string table = name;
    if (const auto known = stats_.index_table.find(index); known != stats_.index_table.end()) {
      table = known->second;
    } else if (const auto alias = aliases_.find(name); alias != aliases_.end()) {
      table = alias->second;
    }
    tables_.insert(table);
    const double table_rows = stats_.TableRows(table);
    if (words.at(0) == "SCAN") return table_rows;
    if (detail.find(" AUTOMATIC ") != std::string::npos) {
      visited += table_rows;  // the index is built from the whole table first
      return 1;
    }
    std::vector<bool> skipped;
    const size_t keys = LeadingEqualities(detail, skipped);
    if (detail.find("INTEGER PRIMARY KEY") != std::string::npos) return keys > 0 ? 1 : table_rows;
    if (const auto stat = stats_.by_index.find(index); stat != stats_.by_index.end()) {
      const std::vector<double>& averages = stat->second;
      // A skip-scan seeks once per distinct value of each column it skips.
      double seeks = 1;
      for (size_t i = 0; i < skipped.size() && i + 1 < averages.size(); ++i) {
        if (skipped[i]) seeks *= averages[i] / std::max(1.0, averages[i + 1]);
      }
      const double rows = averages.at(std::min(keys, averages.size() - 1));
      visited += seeks > 1 ? seeks : 0;
      return rows * seeks;
    }
    return std::max(1.0, table_rows / std::pow(kUnknownRowsPerKey, static_cast<double>(keys)));
  }

  static std::string IndexName(const std::vector<std::string>& words) {
    for (size_t i = 0; i + 1 < words.size(); ++i) {
      if (words[i] == "INDEX") return Upper(words[i + 1]);
    }
    return "";
  }

  //! "(A=? AND B=? AND C>?)": 2. A skip-scan term (ANY(A)) counts, and is marked in skipped; a
  //! range ends the count.
  static size_t LeadingEqualities(const std::string& detail, std::vector<bool>& skipped) {
    const size_t using_at = detail.find(" USING ");
    const size_t open = detail.find(" (", using_at == std::string::npos ? 0 : using_at);
    const size_t close = detail.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return 0;
    static const std::regex kEquality(R"(^\w+=\?$)");
    static const std::regex kSkip(R"(^ANY\(\w+\)$)");
    const std::string terms = detail.substr(open + 2, close - open - 2);
    size_t count = 0;
    size_t start = 0;
    while (start <= terms.size()) {
      const size_t end = terms.find(" AND ", start);
      const std::string term = terms.substr(start, end == std::string::npos ? end : end - start);
      const bool skip = std::regex_match(term, kSkip);
      if (!skip && !std::regex_match(term, kEquality)) break;
      skipped.push_back(skip);
      ++count;
      if (end == std::string::npos) break;
      start = end + 5;
    }
    return count;
  }

  std::map<std::string, std::string> aliases_;
  const PlanStats& stats_;
  std::map<std::string, double> subqueries_;
  std::set<std::string> tables_;
};

void Draw(const Node& node, int depth, std::string& text) {
  for (const Node* child : node.children) {
    text += std::string(static_cast<size_t>(depth) * 2, ' ') + child->detail + '\n';
    Draw(*child, depth + 1, text);
  }
}

}  // namespace

void PlanStats::Add(const std::string& table, const std::string& index, const std::string& stat) {
  std::istringstream in(stat);
  std::vector<double> numbers;
  for (double number = 0; in >> number;) numbers.push_back(number);
  if (numbers.empty()) return;
  const std::string upper_table = Upper(table);
  table_rows[upper_table] = numbers.front();
  if (index.empty()) return;
  by_index[Upper(index)] = numbers;
  index_table[Upper(index)] = upper_table;
}

double PlanStats::TableRows(const std::string& table) const {
  const auto found = table_rows.find(Upper(table));
  return found == table_rows.end() ? kUnknownTableRows : found->second;
}

PlanCost EstimatePlan(const std::vector<PlanRow>& rows, const std::string& sql,
                      const PlanStats& stats) {
  std::map<int, Node> nodes;
  Node root;
  for (const PlanRow& row : rows) nodes[row.id].detail = row.detail;
  for (const PlanRow& row : rows) {
    const auto parent = nodes.find(row.parent);
    (parent == nodes.end() ? root : parent->second).children.push_back(&nodes[row.id]);
  }
  Estimator estimator(sql, stats);
  PlanCost cost;
  double ignored = 0;
  cost.visited = estimator.Select(root.children, ignored);
  cost.read = estimator.Read();
  Draw(root, 0, cost.text);
  return cost;
}

}  // namespace support
