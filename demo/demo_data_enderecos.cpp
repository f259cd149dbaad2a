#include <cctype>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

// Letters of a name as they go in an address: lowercase ASCII, accents dropped, other characters
// (blanks, dots) as the given separator.
std::string Slug(std::string_view nome, char separador) {
  static constexpr std::pair<std::string_view, char> kAcentos[] = {
      {"á", 'a'}, {"à", 'a'}, {"â", 'a'}, {"ã", 'a'}, {"ä", 'a'}, {"é", 'e'}, {"ê", 'e'},
      {"í", 'i'}, {"ó", 'o'}, {"ô", 'o'}, {"õ", 'o'}, {"ö", 'o'}, {"ú", 'u'}, {"ü", 'u'},
      {"ç", 'c'}, {"Á", 'a'}, {"É", 'e'}, {"Í", 'i'}, {"Ó", 'o'}, {"Ú", 'u'}, {"Ç", 'c'}};
  std::string slug;
  for (size_t i = 0; i < nome.size();) {
    bool trocado = false;
    for (const auto& [acento, letra] : kAcentos) {
      if (nome.substr(i, acento.size()) == acento) {
        slug += letra;
        i += acento.size();
        trocado = true;
        break;
      }
    }
    if (trocado) continue;
    const auto c = static_cast<unsigned char>(nome[i++]);
    if (std::isalnum(c) != 0 && c < 0x80) {
      slug += static_cast<char>(std::tolower(c));
    } else if (!slug.empty() && slug.back() != separador) {
      slug += separador;
    }
  }
  while (!slug.empty() && slug.back() == separador) slug.pop_back();
  return slug;
}

std::string PrimeiraPalavra(std::string_view nome) {
  return std::string(nome.substr(0, nome.find(' ')));
}

// A few people and beneficiaries have no address, chosen by their number so that no random draw
// of the generator moves.
bool SemEndereco(std::string_view inscricao) {
  int soma = 0;
  for (const char c : inscricao) {
    if (c >= '0' && c <= '9') soma += c - '0';
  }
  return soma % 7 == 3;
}

}  // namespace

Variant EnderecoPessoa(const Pessoa& pessoa) {
  if (SemEndereco(pessoa.cpf)) return Variant(nullptr);
  return Variant(Slug(PrimeiraPalavra(pessoa.nome), '.') + "." +
                 Slug(UltimoSobrenome(pessoa.nome), '.') + "." + std::to_string(pessoa.codigo) +
                 "@pessoal.example");
}

Variant EnderecoBeneficiario(std::string_view nome, std::string_view inscricao, bool empresa) {
  if (SemEndereco(inscricao)) return Variant(nullptr);
  if (empresa) {
    std::string dominio = Slug(nome, '-');
    for (const std::string_view sufixo : {"-ltda", "-s-a", "-me", "-eireli"}) {
      if (dominio.size() > sufixo.size() &&
          dominio.compare(dominio.size() - sufixo.size(), sufixo.size(), sufixo) == 0) {
        dominio.resize(dominio.size() - sufixo.size());
      }
    }
    return Variant("financeiro@" + dominio + ".example");
  }
  return Variant(Slug(PrimeiraPalavra(nome), '.') + "." + Slug(UltimoSobrenome(nome), '.') +
                 "@autonomo.example");
}

}  // namespace nrw::demo
