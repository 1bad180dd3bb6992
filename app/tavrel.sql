-- The records database: six tables, created once beside the executable by scripts/run.sh.
-- The program never creates or alters tables; it relies on the column names, types and sizes below.
--
-- Column types and how the data-access layer reads them:
--   INTEGER PRIMARY KEY AUTOINCREMENT  auto-number, assigned by the database, read-only
--   NVARCHAR(n)                        Unicode text of at most n characters
--   NTEXT                              Unicode long text (memo)
--   INTEGER                            32-bit signed number
--   DATETIME                           days since 30 December 1899 as an 8-byte float (the fraction is the time of
--                                      day); stored as the exact double so a value reads back bit for bit
--   BOOLEAN                            yes/no, stored as 0 or 1
-- Where screens declare the same column with different sizes the column takes the largest, so every screen's
-- declaration fits; each screen's own size still limits what its fields accept.

CREATE TABLE IF NOT EXISTS ogrencibilgi (
  sirano INTEGER PRIMARY KEY AUTOINCREMENT,
  okulno NVARCHAR(255),
  tcno NVARCHAR(255),
  adisoyadi NVARCHAR(255),
  sinif NVARCHAR(255),
  sube NVARCHAR(255),
  velicep NVARCHAR(255),
  veliev NVARCHAR(255),
  adres NVARCHAR(255),
  kimleoturuyor NVARCHAR(255),
  evkirami NVARCHAR(255),
  odasivar NVARCHAR(255),
  okulnasilgeliyor NVARCHAR(255),
  calisiyormu NVARCHAR(255),
  gecir_kaza NVARCHAR(255),
  gecir_ameliyat NVARCHAR(255),
  k_cihaz NVARCHAR(255),
  g_hastalik NVARCHAR(255),
  s_hastalik NVARCHAR(255),
  k_ilac NVARCHAR(255),
  kardes_sayi NVARCHAR(255),
  boy NVARCHAR(255),
  kilo NVARCHAR(255),
  hanedekisi NVARCHAR(255),
  hane_gelir NVARCHAR(255),
  sehitcocuk BOOLEAN DEFAULT 0,
  yurtdisigeldi BOOLEAN DEFAULT 0,
  burslu BOOLEAN DEFAULT 0,
  "2828veya5395" BOOLEAN DEFAULT 0,
  ozelegt_durum NVARCHAR(255),
  babaad NVARCHAR(255),
  baba_dtarih NVARCHAR(255),
  baba_meslek NVARCHAR(255),
  baba_ogrnm NVARCHAR(255),
  baba_s_hastalik NVARCHAR(255),
  baba_engel NVARCHAR(255),
  baba_s_olu NVARCHAR(255),
  baba_birlikte NVARCHAR(255),
  baba_tel NVARCHAR(255),
  anne_ad NVARCHAR(255),
  anne_dtarih NVARCHAR(255),
  anne_meslek NVARCHAR(255),
  anne_ogrenim NVARCHAR(255),
  anne_s_hastalik NVARCHAR(255),
  anne_engel NVARCHAR(255),
  anne_s_olu NVARCHAR(255),
  anne_birlikte NVARCHAR(255),
  anne_tel NVARCHAR(255),
  resim NVARCHAR(250)
);

CREATE TABLE IF NOT EXISTS danisankayit (
  sno INTEGER PRIMARY KEY AUTOINCREMENT,
  okulno INTEGER,
  gorusmetarihi DATETIME,
  gelisnedeni NTEXT,
  yapilancalisma NTEXT,
  calismaozeti NTEXT,
  yonlendirilenkurum NVARCHAR(255),
  gorusmeyiyapan NVARCHAR(255)
);

CREATE TABLE IF NOT EXISTS ogrencigorusme (
  okulno INTEGER,
  adisoyadi NVARCHAR(255),
  gorusmeturu NVARCHAR(255),
  pdralani NVARCHAR(255),
  gorusmekonusu NVARCHAR(255),
  yapilancalisma NTEXT,
  sorunalani NVARCHAR(255),
  calismayapan NVARCHAR(255),
  gorusmetarihi DATETIME
);

CREATE TABLE IF NOT EXISTS ogretmengorusme (
  ogretmenadi NVARCHAR(255),
  gorusulenogrenci NVARCHAR(255),
  gorusmenedeni NVARCHAR(255),
  gorusmeicerigi NVARCHAR(255),
  yapilacakcalismalar NVARCHAR(255),
  gorusmeyapan NVARCHAR(255),
  tarih DATETIME,
  okulno NVARCHAR(20)
);

CREATE TABLE IF NOT EXISTS veligorusme (
  okulno NVARCHAR(255),
  veliadisoyadi NVARCHAR(255),
  velitelefon NVARCHAR(255),
  gorusmetarihi DATETIME,
  gorusmekonusu NVARCHAR(50),
  gorusmeozeti NTEXT,
  yapilancalisma NTEXT,
  yonlendirilenkurum NVARCHAR(255),
  gorusmeyiyapan NVARCHAR(255),
  sonuconeri NTEXT
);

CREATE TABLE IF NOT EXISTS sabit (
  okuladi NVARCHAR(255),
  rehber1 NVARCHAR(255),
  kadi NVARCHAR(255),
  sifre NVARCHAR(255)
);
