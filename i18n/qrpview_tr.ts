<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="tr_TR" sourcelanguage="en">
<context>
    <name>Error</name>
    <message>
        <source>Stream read error</source>
        <translation>Dosya okunurken veri bitti</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Dosyaya yazılamadı</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Bilinmeyen hata</translation>
    </message>
    <message>
        <source>Damaged report file "%1": %2</source>
        <translation>“%1” rapor dosyası hasarlı: %2</translation>
    </message>
    <message>
        <source>Cannot read "%1": %2</source>
        <translation>“%1” okunamadı: %2</translation>
    </message>
    <message>
        <source>Cannot open file "%1". %2</source>
        <translation>“%1” dosyası açılamadı. %2</translation>
    </message>
    <message>
        <source>Cannot create file "%1". %2</source>
        <translation>“%1” dosyası oluşturulamadı. %2</translation>
    </message>
    <message>
        <source>Cannot write file "%1". %2</source>
        <translation>“%1” dosyasına yazılamadı. %2</translation>
    </message>
    <message>
        <source>It is not a report file</source>
        <translation>Bu bir rapor dosyası değil</translation>
    </message>
    <message>
        <source>It is a directory</source>
        <translation>Bu bir klasör</translation>
    </message>
    <message>
        <source>It is not a regular file</source>
        <translation>Bu sıradan bir dosya değil</translation>
    </message>
    <message>
        <source>A private copy cannot be made: %1</source>
        <translation>Dosyanın bir kopyası alınamadı: %1</translation>
    </message>
    <message>
        <source>File is larger than 2 GiB: %1</source>
        <translation>Dosya 2 GiB’tan büyük: %1</translation>
    </message>
    <message>
        <source>the file ends before all of its data could be read: it is damaged or cut short</source>
        <translation>dosya, verisinin tamamı okunmadan bitiyor; hasarlı ya da yarıda kesilmiş</translation>
    </message>
    <message>
        <source>Compressed page data ends before the page is complete</source>
        <translation>sıkıştırılmış sayfa verisi sayfa tamamlanmadan bitiyor</translation>
    </message>
    <message>
        <source>the header gives a negative page count (%1)</source>
        <translation>başlıktaki sayfa sayısı eksi bir sayı (%1)</translation>
    </message>
    <message>
        <source>the header gives %1 pages but the file holds no page records</source>
        <translation>başlık %1 sayfa diyor ama dosyada hiç sayfa kaydı yok</translation>
    </message>
    <message>
        <source>the header gives %1 pages but the file holds only %2 page records</source>
        <translation>başlık %1 sayfa diyor ama dosyada yalnızca %2 sayfa kaydı var</translation>
    </message>
    <message>
        <source>the first page's signature lies inside the file header (header size %1)</source>
        <translation>ilk sayfanın imzası dosya başlığının içinde kalıyor (başlık boyu %1)</translation>
    </message>
    <message>
        <source>a page record would start at offset %1, outside the file's %2 bytes</source>
        <translation>bir sayfa kaydı %1 konumunda, dosyanın %2 baytının dışında başlıyor</translation>
    </message>
    <message>
        <source>page record %1 at offset %2 gives its end as offset %3, outside the file's %4 bytes</source>
        <translation>%2 konumundaki %1. sayfa kaydının sonu %3 konumu, dosyanın %4 baytının dışında</translation>
    </message>
    <message>
        <source>page records out of sequence: record at offset %1 is numbered %2 where %3 was expected</source>
        <translation>sayfa kayıtları sırasız: %1 konumundaki kaydın numarası %3 olmalıyken %2</translation>
    </message>
    <message>
        <source>the back pointer in front of record %1 at offset %2 leads forward, to offset %3</source>
        <translation>%2 konumundaki %1. kaydın önündeki geri işaretçi ileriye, %3 konumuna gösteriyor</translation>
    </message>
    <message>
        <source>page record %1 at offset %2 ends at offset %3 but the next record starts at %4</source>
        <translation>%2 konumundaki %1. sayfa kaydı %3 konumunda bitiyor ama sonraki kayıt %4 konumunda başlıyor</translation>
    </message>
    <message>
        <source>page %1: %2</source>
        <translation>sayfa %1: %2</translation>
    </message>
    <message>
        <source>its expanded length of %1 bytes cannot come from %2 coded bytes</source>
        <translation>açılmış %1 bayt uzunluk %2 kodlanmış bayttan çıkamaz</translation>
    </message>
    <message>
        <source>its back pointer does not lead to the start of its record</source>
        <translation>geri işaretçisi kaydının başına götürmüyor</translation>
    </message>
    <message>
        <source>Page data is not an enhanced metafile (no EMF header record)</source>
        <translation>Sayfa verisi bir EMF dosyası değil (EMF başlık kaydı yok)</translation>
    </message>
    <message>
        <source>Page data ends early: the metafile needs %1 bytes, only %2 remain</source>
        <translation>Sayfa verisi erken bitiyor: sayfa %1 bayt gerektiriyor, yalnızca %2 bayt kaldı</translation>
    </message>
    <message>
        <source>Printer "%1" is not installed</source>
        <translation>“%1” yazıcısı kurulu değil</translation>
    </message>
    <message>
        <source>No printer is installed: there is nothing to print on</source>
        <translation>Kurulu yazıcı yok: yazdırılacak bir yer yok</translation>
    </message>
    <message>
        <source>Printing in progress</source>
        <translation>Yazdırma sürüyor</translation>
    </message>
    <message>
        <source>Cannot start a print job on "%1"</source>
        <translation>“%1” yazıcısında yazdırma işi başlatılamadı</translation>
    </message>
    <message>
        <source>Cannot start a new sheet on "%1"</source>
        <translation>“%1” yazıcısında yeni sayfaya geçilemedi</translation>
    </message>
    <message>
        <source>The range holds no page of the report</source>
        <translation>Aralıkta raporun hiçbir sayfası yok</translation>
    </message>
    <message>
        <source>Cannot write "%1": %2</source>
        <translation>“%1” yazılamadı: %2</translation>
    </message>
    <message>
        <source>the PDF could not be started</source>
        <translation>PDF başlatılamadı</translation>
    </message>
</context>
<context>
    <name>TArchiveSearchDialog</name>
    <message>
        <source>Arşivde Ara</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>sözcükler, "tümceler", önek*, AND, OR, NOT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Metin</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arşiv Klasörü</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Durduruluyor...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Klasör bulunamadı: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dizin güncelleniyor...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1eklenen %2, güncellenen %3, silinen %4, değişmeyen %5, hasarlı %6</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Durduruldu: </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> (okunamayan: %1%2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> (erişilemeyen, dizindeki raporları korundu: %1%2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dizin güncellenemedi: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arşiv klasörü seçilmedi: «Klasör Ekle...» ile ekleyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arşivin dizini henüz yok: «Güncelle» ile oluşturun.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aranacak sözcükleri yazın.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sorgu çok uzun: en çok %1 sözcük aranabilir.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aranacak sözcük yok.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aranıyor...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arşivin dizini açılamadı: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sorgu anlaşılmadı (tırnakları ve AND, OR, NOT sözcüklerini denetleyin): %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> · %1 sonuç</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bulunamadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>En iyi %1 sonuç.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 sonuç.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor artık yok: %1 («Güncelle» dizini düzeltir).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Klasör Ekle...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kal&amp;dır</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Güncelle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Aranan:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arşiv k&amp;lasörleri:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Durdur</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aya&amp;rlar...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucuya bağlanılıyor: %1...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki ortak dizin: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki ortak dizin: %1 · güncelleme izniniz var</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki ortak dizin: %1 · yalnızca okuma</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucu %1 saniyede yanıt vermedi; arama durduruldu. Yeniden denemek için Enter'a basın.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dizin %1 saniyede yanıt vermedi; arama durduruldu.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki arşivi okuma izniniz yok; yöneticinizden okuma hakkı (qrp_reader) isteyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucuya bağlanılamadı: sunucu kimliğinizi kabul etmedi (kullanıcı adı, parola ya da pg_hba.conf).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki veritabanında arşiv dizini yok: yöneticiniz «qrptool index init» ile oluşturur.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki dizin eski bir sürümle yapılmış: yöneticiniz «qrptool index init» ile günceller.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki dizin bu programdan yeni bir sürümle yapılmış: programı güncelleyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucuya bağlanılamadı: sunucu zamanında yanıt vermedi.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucuya bağlanılamadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucuda arama yapılamadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>(Sunucunun yanıtı: %1)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1
(sunucuda: %2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor bu bilgisayarda bulunamadı: %1 (sunucudaki yolu: %2). Paylaşımın bağlı olduğunu ve «Ayarlar...» içindeki yol eşlemesini denetleyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor bu bilgisayarda bulunamadı: %1 (sunucudaki yolu). Bu bilgisayarda başka bir yerdeyse «Ayarlar...» içinde bir yol eşlemesi ekleyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 bu bilgisayardaki bir yol; sunucudaki dizinde raporlar sunucunun yollarıyla durur. Güncellemeyi sunucudaki hizmete bırakın ya da klasörü sunucunun gördüğü yolla ekleyin.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TArchiveSettingsDialog</name>
    <message>
        <source>Arşiv Ayarları</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>postgresql://kullanıcı@sunucu/veritabanı ya da service=AD</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Sunucu:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Boş bırakılırsa bu bilgisayardaki kendi dizininiz aranır. Sunucudaki dizin ortaktır; onu çoğunlukla sunucudaki güncelleme hizmeti günceller.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunucudaki yol</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bu bilgisayardaki yol</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yol eşlemeleri</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Yol eşlemeleri (ör. /srv/raporlar → /mnt/raporlar):</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Eşleme &amp;Ekle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Eşlemeyi &amp;Kaldır</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>«%1» bir sunucu değil: postgresql://… adresini ya da service=AD yazın.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Eşleme %1 eksik: iki yolu da yazın ya da eşlemeyi kaldırın.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TExportDialog</name>
    <message>
        <source>Dışa Aktar</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PDF, &amp;tüm sayfalar</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PDF, &amp;sayfa aralığı</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;PNG, bu sayfa (%1)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Rapor dosyasının kopyası</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tamam</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Vazgeç</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PDF yazılıyor...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PNG (*.png)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Dosyası (*.qrp *.QRP)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TFindBar</name>
    <message>
        <source>Bul</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Önceki (Shift+F3)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sonraki (F3)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Büyük/küçük harf</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aksanlar (ç≠c)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kapat (Esc)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bulunamadı</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> (aranıyor %1/%2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> (durduruldu)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Aranan metin</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Önceki eşleşme</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sonraki eşleşme</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arama çubuğunu kapat</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> · sondan başa dönüldü</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> · baştan sona dönüldü</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TPageBox</name>
    <message>
        <source>Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sayfa numarası 1 ile %1 arasında olmalı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Raporda sayfa yok.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sayfa numarası</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1%</source>
        <extracomment>The zoom level beside the page number, e.g. "150%".</extracomment>
        <translation>%%1</translation>
    </message>
    <message>
        <source>Yakınlaştırma %1%</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TPageTextSelection</name>
    <message>
        <source>Ko&amp;pyala</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sayfanın &amp;tüm metnini seç</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Metin seçme modu</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TPrintJob</name>
    <message>
        <source>Bu bilgisayarda kurulu bir yazıcı yok. Yazdırabilmek için önce bir yazıcı kurun.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Seçilen sayfa aralığında raporun hiçbir sayfası yok (rapor %1 sayfa). Hiçbir şey yazdırılmadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yazdırma iptal edildi; yazıcıya hiçbir şey gönderilmedi.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TQRHyperlinks</name>
    <message>
        <source>Bağlantı</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bu bağlantı açılamaz: "%1". Yalnızca dosyalar ve http, https, mailto adresleri açılır.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TQRPreview</name>
    <message>
        <source>Rapor sayfası</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TQRPreviewImage</name>
    <message>
        <source>Sayfa %1 çizilemeyecek kadar karmaşık; bir kısmı gösteriliyor.</source>
        <extracomment>Shown over a page that hit the drawing limits.</extracomment>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TQRProgressForm</name>
    <message>
        <source>Printing progress</source>
        <translation>Yazdırma durumu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>%1%  Completed</source>
        <translation>%%1 tamamlandı</translation>
    </message>
</context>
<context>
    <name>TReportFile</name>
    <message>
        <source>Dosya bulunamadı.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TfrmSelectPrinter</name>
    <message>
        <source> boş. Lütfen bir sayfa numarası yazın.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> bir sayfa numarası değil.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> çok büyük: en fazla %1 olabilir.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yazıcı Seçimi</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Y&amp;azıcı</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yazdırma Aralığı</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tüm &amp;Sayfalar</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Başlangıç-Bitiş</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kopya Adeti</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Varsayılan</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tamam</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Vazgeç</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lütfen Bekleyin...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>. sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yazıcı çoklu kopya sistemini destekliyor.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yazıcı çoklu kopya sistemini desteklemiyor.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Başlangıç sayfası</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bitiş sayfası</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TfrmZozEdezaPreview</name>
    <message>
        <source>Rapor Onizleme</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yeniden Yük&amp;le</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dosya açıldıktan sonra diskte değişti; yazdırmadan önce yeniden yükleyin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dosya açıldıktan sonra diskte değişti; gösterilen ve yazdırılan sayfalar dosyanın açıldığı andaki hâlidir.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Yazdir</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Onceki Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sonraki Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Buyut</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Kucult</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor &amp;Ac</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cikis</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Yükle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Dosyası (*.QRP *.qrp *.emf *.EMF)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dosya bulunamadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> - 1 page</source>
        <translation> - 1 sayfa</translation>
    </message>
    <message>
        <source> - %1 pages</source>
        <translation> - %1 sayfa</translation>
    </message>
    <message>
        <source> READY</source>
        <translation> HAZIR</translation>
    </message>
    <message>
        <source> BUSY</source>
        <translation> MEŞGUL</translation>
    </message>
    <message>
        <source> FINISHED</source>
        <translation> BİTTİ</translation>
    </message>
    <message>
        <source>Sayfa küçük resimleri</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Gerçek Boyut</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Sayfaya Sığdır</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>G&amp;enişliğe Sığdır</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Büyüt</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Küçült</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ö&amp;nceki Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>S&amp;onraki Sayfa</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Yazdır...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Dışa Aktar...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sayfayı &amp;Resim Olarak Kopyala</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Tfrmzizarud</name>
    <message>
        <source>Zendivo v1.2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Dosya Türleri (*.QRP *.qrp *.emf *.EMF)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rapor Aç...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Çıkış</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yardım</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Hakkında...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dosya bulunamadı.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Version %1</source>
        <translation>Sürüm %1</translation>
    </message>
    <message>
        <source>Son Açıl&amp;anlar</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Dışa Aktar...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A&amp;rşivde Ara…</source>
        <translation type="unfinished" />
    </message>
</context>
</TS>