-- Planner statistics shipped with the schema, so that a database nobody has analysed still gets
-- the plans of a populated one. Without them SQLite guesses from column counts alone, and a lookup
-- by company can win over a lookup by person: a report then reads every contract of the company
-- for every declaration row. ANALYZE replaces these rows with measured ones.
--
-- The figures describe an accounting office: 200 companies with 2 establishments each, ten base
-- years of declarations kept, 250 beneficiaries per company and year (about 1.2 records each,
-- 13 monthly rows per record), 40,000 people in 50,000 employment contracts, 5,000 third parties,
-- ten years of monthly payrolls (a tenth of the contracts serving service takers) and ten years of
-- the state guide's records, about ten of each kind per establishment and year. Each stat is "rows avg1 avg2 ...": the table's rows, then the
-- rows that share the first 1, 2, ... columns of the index.

ANALYZE sqlite_master;

INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES
  ('EMPRESA', NULL, '200'),
  ('ESTAB', 'sqlite_autoindex_ESTAB_1', '400 2 1'),
  ('ESTAB', 'IX_ESTAB_INSCRFEDERAL', '400 1'),
  ('GRUPOEMPRESA', 'sqlite_autoindex_GRUPOEMPRESA_1', '100 5 1'),
  ('USUARIOEMPRESA', 'sqlite_autoindex_USUARIOEMPRESA_1', '2000 100 1'),
  ('CFGEMPRESAGEM', NULL, '200'),
  ('CONTADOR', NULL, '20'),
  ('SOCIO', 'sqlite_autoindex_SOCIO_1', '800 4 1'),
  ('SOCIO', 'IX_SOCIO_INSCRFEDERAL', '800 4 1'),
  ('CONTRATOSOCIAL', 'sqlite_autoindex_CONTRATOSOCIAL_1', '600 3 1'),
  ('CONTRSOCIALSOCIO', 'sqlite_autoindex_CONTRSOCIALSOCIO_1', '2400 12 4 1'),
  ('TIPOCONTRATO', NULL, '20'),
  ('FUNCPESSOA', 'IX_FUNCPESSOA_CPFFUNC', '40000 1'),
  ('FUNCCONTRATO', 'sqlite_autoindex_FUNCCONTRATO_1', '50000 250 1'),
  ('FUNCCONTRATO', 'IX_FUNCCONTRATO_PESSOA', '50000 2 1 1'),
  ('FUNCLOCAL', 'sqlite_autoindex_FUNCLOCAL_1', '60000 300 2 1'),
  ('TERCEIRO', 'IX_TERCEIRO_CPFTERC', '5000 1'),
  ('RENDIMENTOANUAL', 'sqlite_autoindex_RENDIMENTOANUAL_1', '20 1'),
  ('DIRFREG1', 'sqlite_autoindex_DIRFREG1_1', '2000 10 1'),
  ('DIRFREGBENEFICIARIO', 'sqlite_autoindex_DIRFREGBENEFICIARIO_1', '500000 2500 250 200 1'),
  ('DIRFREGBENEFICIARIO', 'IX_DIRFREGBENEFICIARIO_INSCR', '500000 10 1'),
  ('DIRFREG2', 'sqlite_autoindex_DIRFREG2_1', '600000 3000 300 240 2 1'),
  ('DIRFREG2', 'IX_DIRFREG2_ANOBASE', '600000 60000 20000'),
  ('DIRFREG2', 'IX_DIRFREG2_BENEF', '600000 3000 12'),
  ('DIRFREG2DET', 'sqlite_autoindex_DIRFREG2DET_1', '7800000 39000 3900 3120 26 13 1'),
  ('DIRFREG2DET', 'IX_DIRFREG2DET_ANOBASE', '7800000 780000 60000'),
  ('DIRFRENDRECEBACUM', 'sqlite_autoindex_DIRFRENDRECEBACUM_1', '2000 10 1 1 1 1'),
  ('DIRFRENDRECEBACUMDET', 'sqlite_autoindex_DIRFRENDRECEBACUMDET_1', '24000 120 12 12 12 12 1'),
  ('DIRFRENDRECEBACUMDEPEND', 'sqlite_autoindex_DIRFRENDRECEBACUMDEPEND_1', '1000 5 1 1 1 1 1'),
  ('DIRFPLANOSAUDE', 'sqlite_autoindex_DIRFPLANOSAUDE_1', '300000 1500 150 150 1 1'),
  ('DIRFPLANOSAUDEDEPEND', 'sqlite_autoindex_DIRFPLANOSAUDEDEPEND_1',
   '450000 2250 225 225 2 2 1'),
  ('DIRFSCPSOCIO', 'sqlite_autoindex_DIRFSCPSOCIO_1', '500 3 1 1 1'),
  ('DIRFSCPSOCIODETALHE', 'sqlite_autoindex_DIRFSCPSOCIODETALHE_1', '6000 30 12 12 12 1'),
  ('INFORMERENDIMENTOFUNC', 'sqlite_autoindex_INFORMERENDIMENTOFUNC_1', '20000 100 10 10 1 1'),
  ('INFORMERENDIMENTOISENTO', 'sqlite_autoindex_INFORMERENDIMENTOISENTO_1',
   '50000 250 25 25 1 1 1'),
  ('INFORMERENDIMENTOEVENTO', 'sqlite_autoindex_INFORMERENDIMENTOEVENTO_1',
   '50000 250 25 25 1 1 1'),
  ('INFORMERENDIMENTOOUTREND', 'sqlite_autoindex_INFORMERENDIMENTOOUTREND_1', '20000 100 1'),
  ('INFORMERENDIMENTOOUTREND', 'IX_INFORMEOUTREND_IMPOSTO', '20000 100 20'),
  ('PERIODOCALCULO', 'sqlite_autoindex_PERIODOCALCULO_1', '24000 120 1'),
  ('PERIODOCALCULO', 'IX_PERIODOCALCULO_COMPET', '24000 120 2'),
  ('FUNCPERCALCULO', 'sqlite_autoindex_FUNCPERCALCULO_1', '3000000 15000 125 1'),
  ('TOMADOR', 'sqlite_autoindex_TOMADOR_1', '2000 10 1'),
  ('FUNCPERCALCULOTOMADOR', 'sqlite_autoindex_FUNCPERCALCULOTOMADOR_1', '300000 1500 13 1'),
  ('EVENTO', NULL, '500'),
  ('CALCULOEVENTO', 'sqlite_autoindex_CALCULOEVENTO_1', '30000000 150000 1250 10 1'),
  ('IMPOSTOCALCULO', 'sqlite_autoindex_IMPOSTOCALCULO_1', '3000000 15000 125 1'),
  ('DEBITOGPS', 'sqlite_autoindex_DEBITOGPS_1', '48000 240 120 1 1 1'),
  ('DEBITOGPS', 'IX_DEBITOGPS_DATA', '48000 240 2'),
  ('ESTADO', 'sqlite_autoindex_ESTADO_1', '27 1'),
  ('MUNICIPIO', 'sqlite_autoindex_MUNICIPIO_1', '5570 206 1'),
  ('TIPOLOGRADOURO', NULL, '30'),
  ('PESSOA', 'IX_PESSOA_INSCRPROD', '3000 1'),
  ('GIAB_TR001', 'sqlite_autoindex_GIAB_TR001_1', '4000 20 10 1'),
  ('GIAB_TR002', 'sqlite_autoindex_GIAB_TR002_1', '40000 200 100 10 1'),
  ('GIAB_TR003', 'sqlite_autoindex_GIAB_TR003_1', '40000 200 100 10 1'),
  ('GIAB_TR004', 'sqlite_autoindex_GIAB_TR004_1', '40000 200 100 10 1'),
  ('GIAB_TR910', 'sqlite_autoindex_GIAB_TR910_1', '40000 200 100 10 1'),
  ('GIAB_TR920', 'sqlite_autoindex_GIAB_TR920_1', '40000 200 100 10 1'),
  ('GIAB_TR941', 'sqlite_autoindex_GIAB_TR941_1', '40000 200 100 10 1'),
  ('GIAB_TR942', 'sqlite_autoindex_GIAB_TR942_1', '40000 200 100 10 1'),
  ('GIAB_TR950', 'sqlite_autoindex_GIAB_TR950_1', '40000 200 100 10 1'),
  ('GIAB_TR960', 'sqlite_autoindex_GIAB_TR960_1', '40000 200 100 10 1'),
  ('GIAB_TR990', 'sqlite_autoindex_GIAB_TR990_1', '40000 200 100 10 1'),
  ('GIAB_TABCFOP', 'sqlite_autoindex_GIAB_TABCFOP_1', '40000 200 100 10 1');

-- The planner reads the statistics when it loads the schema: load them again on this connection.
ANALYZE sqlite_master;
