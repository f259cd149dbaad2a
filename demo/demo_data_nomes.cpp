#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr const char* kNomesFemininos[] = {
    "Ana",     "Beatriz",   "Camila",   "Daniela", "Eduarda",    "Fabiana",  "Gabriela", "Helena",
    "Isabela", "Jaqueline", "Karina",   "Letícia", "Mariana",    "Natália",  "Patrícia", "Rafaela",
    "Sabrina", "Tatiana",   "Vanessa",  "Viviane", "Luciana",    "Cristina", "Adriana",  "Simone",
    "Aline",   "Bruna",     "Carolina", "Débora",  "Elisângela", "Francine", "Gisele",   "Ivone",
    "Joana",   "Larissa",   "Márcia",   "Neusa",   "Priscila",   "Roberta",  "Sandra",   "Tainá"};

constexpr const char* kNomesMasculinos[] = {
    "André",   "Bruno",    "Carlos",   "Daniel",   "Eduardo",   "Fábio",    "Gustavo", "Henrique",
    "Igor",    "João",     "Leonardo", "Marcelo",  "Nelson",    "Otávio",   "Paulo",   "Rafael",
    "Rodrigo", "Sérgio",   "Thiago",   "Vinícius", "Alexandre", "Cláudio",  "Diego",   "Everton",
    "Felipe",  "Gilmar",   "Jair",     "Luciano",  "Maurício",  "Norberto", "Ricardo", "Valmir",
    "Antônio", "Fernando", "Jorge",    "Lucas",    "Mateus",    "Pedro",    "Renato",  "Vilmar"};

// Common surnames of the south of the country, where most of the companies are.
constexpr const char* kSobrenomes[] = {
    "Silva",   "Santos",    "Oliveira",  "Souza",      "Pereira",   "Lima",        "Ferreira",
    "Costa",   "Rodrigues", "Almeida",   "Nascimento", "Carvalho",  "Gomes",       "Martins",
    "Rocha",   "Ribeiro",   "Schmidt",   "Schneider",  "Weber",     "Müller",      "Becker",
    "Fischer", "Wagner",    "Hoffmann",  "Klein",      "Kunz",      "Schmitz",     "Bauer",
    "Zanella", "Bortolini", "Tomazzoni", "De Carli",   "Fontana",   "Sartori",     "Pasqualotto",
    "Dalmoro", "Bianchi",   "Trevisan",  "Caregnato",  "Andreazza", "Mallmann",    "Heineck",
    "Eckert",  "Bohn",      "Scherer",   "Ritter",     "Gerhardt",  "Kowalski",    "Wisniewski",
    "Koerich", "Vieira",    "Espíndola", "Medeiros",   "Goulart",   "Bittencourt", "Nunes"};

}  // namespace

std::string PrimeiroNome(Aleatorio& aleatorio, Sexo sexo) {
  return sexo == Sexo::kFeminino ? aleatorio.Escolher(kNomesFemininos)
                                 : aleatorio.Escolher(kNomesMasculinos);
}

std::string Sobrenome(Aleatorio& aleatorio) { return aleatorio.Escolher(kSobrenomes); }

std::string NomeCompleto(Aleatorio& aleatorio) {
  return NomeCompleto(aleatorio, aleatorio.Chance(50) ? Sexo::kFeminino : Sexo::kMasculino);
}

std::string NomeCompleto(Aleatorio& aleatorio, Sexo sexo) {
  std::string nome = PrimeiroNome(aleatorio, sexo);
  const std::string primeiro = Sobrenome(aleatorio);
  std::string segundo = Sobrenome(aleatorio);
  while (segundo == primeiro) segundo = Sobrenome(aleatorio);
  return nome + " " + primeiro + " " + segundo;
}

std::string UltimoSobrenome(std::string_view nome) {
  size_t inicio = nome.rfind(' ');
  if (inicio == std::string_view::npos) return std::string(nome);
  // "De Carli", "Dal Bó": the particle belongs to the surname.
  const size_t anterior = nome.rfind(' ', inicio - 1);
  if (anterior != std::string_view::npos) {
    const std::string_view particula = nome.substr(anterior + 1, inicio - anterior - 1);
    for (const char* p : {"De", "Da", "Do", "Dal", "Dos", "Das"}) {
      if (particula == p) inicio = anterior;
    }
  }
  return std::string(nome.substr(inicio + 1));
}

}  // namespace nrw::demo
