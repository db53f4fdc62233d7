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
        <source>the report holds no pages</source>
        <translation>raporda hiç sayfa yok</translation>
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
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Klasör</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Kısayol</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Dosya</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Sürücü</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Bilinmeyen</translation>
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
        <source>Arşivin dizini “%1” açılamadı: %2</source>
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
    <message>
        <source>Windows görünümü (GDI)</source>
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
<context>
    <name>qrptool</name>
    <message>
        <source>a new report from EMF files</source>
        <translation>EMF dosyalarından yeni bir rapor</translation>
    </message>
    <message>
        <source>a sample sales report of N pages (default 5)</source>
        <translation>N sayfalık örnek bir satış raporu (varsayılan 5)</translation>
    </message>
    <message>
        <source>page N as a bare EMF, byte-identical to what was stored</source>
        <translation>N. sayfa, saklandığı gibi bayt bayt aynı yalın bir EMF olarak</translation>
    </message>
    <message>
        <source>pages FIRST to LAST of SRC as a new report DST (FIRST 0: all pages)</source>
        <translation>SRC raporunun FIRST ile LAST arasındaki sayfaları yeni bir DST raporu olarak (FIRST 0: bütün sayfalar)</translation>
    </message>
    <message>
        <source>makes an empty archive index, or brings one made by an older qrptool up to date; on a PostgreSQL server (a postgresql:// URI or service=NAME) run it once, as the owner of the database</source>
        <translation>boş bir arşiv dizini oluşturur ya da eski bir qrptool sürümünün yaptığı dizini günceller; PostgreSQL sunucusunda (postgresql:// adresi ya da service=AD) veritabanının sahibi olarak bir kez çalıştırın</translation>
    </message>
    <message>
        <source>the pages of the archive index that best match QUERY (words, "phrases", prefix*, AND, OR, NOT), as FILE:PAGE: snippet with the words found in [brackets]; --stem (on a server) finds the words' other Turkish forms</source>
        <translation>arşiv dizininde QUERY sorgusuna (sözcükler, "tümceler", önek*, AND, OR, NOT) en iyi uyan sayfalar, DOSYA:SAYFA: bulunan sözcükler [köşeli ayraç] içinde bir alıntıyla; --stem (sunucuda) sözcüklerin Türkçe çekimli biçimlerini de bulur</translation>
    </message>
    <message>
        <source>adds new reports to the archive index, indexes changed ones again and drops removed ones; damaged ones are skipped and named, and so are folders and files that cannot be read, whose reports stay indexed; exit status 2 when some were. A folder that is empty now keeps its reports unless --prune</source>
        <translation>yeni raporları arşiv dizinine ekler, değişenleri yeniden dizinler, silinenleri çıkarır; hasarlı raporlar atlanır ve adları yazılır, okunamayan klasör ve dosyalar da öyle (raporları dizinde kalır); böyleleri varsa çıkış durumu 2. Artık boş olan bir klasörün raporları --prune verilmedikçe kalır</translation>
    </message>
    <message>
        <source>header size, page count, compression, creation time, detected paper, and per page its EMF size in bytes, pixels and millimetres</source>
        <translation>başlık boyutu, sayfa sayısı, sıkıştırma, oluşturulma zamanı, algılanan kâğıt ve her sayfanın bayt, piksel ve milimetre olarak EMF boyutu</translation>
    </message>
    <message>
        <source>DST is replaced by one report of the pages of every SRC, in order (name DST as the first SRC to append to it); prints the result code on failure</source>
        <translation>DST, her SRC raporunun sayfalarından sırayla oluşan tek bir raporla değiştirilir (eklemek için DST'yi ilk SRC olarak verin); başarısızlıkta sonuç kodunu yazar</translation>
    </message>
    <message>
        <source>prints a range in collated copies, as the viewer's print button does</source>
        <translation>bir sayfa aralığını, görüntüleyicinin yazdır düğmesi gibi harmanlanmış kopyalar hâlinde yazdırır</translation>
    </message>
    <message>
        <source>the printers of the active backend and what they offer</source>
        <translation>etkin arka ucun yazıcıları ve sundukları</translation>
    </message>
    <message>
        <source>pages to PNG or SVG (one file per page, OUT-N.png) or to one PDF document; pages decoded on N threads; --gdi: text in GDI's pixels</source>
        <translation>sayfaları PNG ya da SVG dosyalarına (sayfa başına bir dosya, OUT-N.png) ya da tek bir PDF belgesine yazar; sayfalar N iş parçacığında çözülür; --gdi: metin GDI'nin piksellerinde</translation>
    </message>
    <message>
        <source>EMF files to OUTDIR/NAME.png each; goes on after a failing file and exits 1 at the end</source>
        <translation>EMF dosyalarını tek tek OUTDIR/AD.png olarak çizer; başarısız bir dosyadan sonra sürer ve sonunda 1 ile çıkar</translation>
    </message>
    <message>
        <source>every line of the pages that matches, as FILE:PAGE: LINE; folders searched recursively</source>
        <translation>sayfalarda eşleşen her satır, DOSYA:SAYFA: SATIR olarak; klasörler alt klasörleriyle aranır</translation>
    </message>
    <message>
        <source>the text of each page in reading order, pages ended by a form feed; --jsonl: one JSON object a page</source>
        <translation>her sayfanın metni okuma sırasıyla, sayfalar sayfa sonu karakteriyle biter; --jsonl: sayfa başına bir JSON nesnesi</translation>
    </message>
    <message>
        <source>page 1 of a report or an EMF as a PNG whose longest side is SIZE (default 256), for file managers; --gdi: text in GDI's pixels</source>
        <translation>bir raporun ya da EMF dosyasının 1. sayfası, en uzun kenarı SIZE (varsayılan 256) olan bir PNG olarak, dosya yöneticileri için; --gdi: metin GDI'nin piksellerinde</translation>
    </message>
    <message>
        <source>usage: qrptool COMMAND [ARGS]

commands:
</source>
        <translation>kullanım: qrptool KOMUT [ARGÜMANLAR]

komutlar:
</translation>
    </message>
    <message>
        <source>Usage: qrptool COMMAND [ARGS]
Shows, converts and prints saved report files (.QRP) from the command line.

Commands:
</source>
        <translation>Kullanım: qrptool KOMUT [ARGÜMANLAR]
Kaydedilmiş rapor dosyalarını (.QRP) komut satırından gösterir, dönüştürür ve yazdırır.

Komutlar:
</translation>
    </message>
    <message>
        <source>
Exit status 0 on success; on failure one line on standard error and status 1
(2 for wrong arguments).

qrptool is free software under the GNU General Public License, version 3 or
later; run "qrptool --version" for the notice.
</source>
        <translation>
Başarıda çıkış durumu 0; başarısızlıkta standart hataya bir satır ve durum 1
(yanlış argümanlarda 2).

qrptool, GNU Genel Kamu Lisansı sürüm 3 ya da sonrası altında özgür bir
yazılımdır; bildirim için "qrptool --version" komutunu çalıştırın.
</translation>
    </message>
    <message>
        <source>qrptool: unknown command "%1"
</source>
        <translation>qrptool: bilinmeyen komut “%1”
</translation>
    </message>
    <message>
        <source>unknown option "%1"</source>
        <translation>bilinmeyen seçenek “%1”</translation>
    </message>
    <message>
        <source>unknown or incomplete option "%1"</source>
        <translation>bilinmeyen ya da eksik seçenek “%1”</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>bilinmeyen seçenek %1</translation>
    </message>
    <message>
        <source>unknown argument "%1"</source>
        <translation>bilinmeyen argüman “%1”</translation>
    </message>
    <message>
        <source>unexpected argument "%1"</source>
        <translation>beklenmeyen argüman “%1”</translation>
    </message>
    <message>
        <source>unexpected "%1"</source>
        <translation>beklenmeyen “%1”</translation>
    </message>
    <message>
        <source>unknown paper "%1" (A4, A3, A5, Letter, Legal, ...)</source>
        <translation>bilinmeyen kâğıt “%1” (A4, A3, A5, Letter, Legal, ...)</translation>
    </message>
    <message>
        <source>unknown format "%1"</source>
        <translation>bilinmeyen biçim “%1”</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 bir değer ister</translation>
    </message>
    <message>
        <source>%1 wants a number from 1 to %2, not "%3"</source>
        <translation>%1, 1 ile %2 arasında bir sayı ister, “%3” değil</translation>
    </message>
    <message>
        <source>%1 wants a positive number, not "%2"</source>
        <translation>%1 pozitif bir sayı ister, “%2” değil</translation>
    </message>
    <message>
        <source>%1 must lie between 1 and %2</source>
        <translation>%1, 1 ile %2 arasında olmalı</translation>
    </message>
    <message>
        <source>%1 must be a page number, not "%2"</source>
        <translation>%1 bir sayfa numarası olmalı, “%2” değil</translation>
    </message>
    <message>
        <source>--pages wants a whole number from 1 to %1, not "%2"</source>
        <translation>--pages, 1 ile %1 arasında bir tam sayı ister, “%2” değil</translation>
    </message>
    <message>
        <source>--pages wants A-B or N with page numbers from 1, not "%1"</source>
        <translation>--pages, 1'den başlayan sayfa numaralarıyla A-B ya da N ister, “%1” değil</translation>
    </message>
    <message>
        <source>--pages wants page numbers from 1 on, not "%1"</source>
        <translation>--pages, 1'den başlayan sayfa numaraları ister, “%1” değil</translation>
    </message>
    <message>
        <source>--pages %1 is an empty range</source>
        <translation>--pages %1 boş bir aralık</translation>
    </message>
    <message>
        <source>--copies wants a number from 1 to 99, not "%1"</source>
        <translation>--copies, 1 ile 99 arasında bir sayı ister, “%1” değil</translation>
    </message>
    <message>
        <source>-s wants a size in pixels, not "%1"</source>
        <translation>-s piksel cinsinden bir boyut ister, “%1” değil</translation>
    </message>
    <message>
        <source>-s must lie between 16 and %1</source>
        <translation>-s, 16 ile %1 arasında olmalı</translation>
    </message>
    <message>
        <source>"%1" is not a page number</source>
        <translation>“%1” bir sayfa numarası değil</translation>
    </message>
    <message>
        <source>give either --dpi or --width</source>
        <translation>--dpi ya da --width seçeneklerinden yalnızca birini verin</translation>
    </message>
    <message>
        <source>-o is missing</source>
        <translation>-o eksik</translation>
    </message>
    <message>
        <source>only one output file, please</source>
        <translation>yalnızca bir çıktı dosyası verin</translation>
    </message>
    <message>
        <source>no output file given</source>
        <translation>çıktı dosyası verilmedi</translation>
    </message>
    <message>
        <source>no report file given</source>
        <translation>rapor dosyası verilmedi</translation>
    </message>
    <message>
        <source>expected an output file and at least one EMF file</source>
        <translation>bir çıktı dosyası ve en az bir EMF dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>expected a report file, a page number and an output file</source>
        <translation>bir rapor dosyası, bir sayfa numarası ve bir çıktı dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>expected SRC DST FIRST LAST</source>
        <translation>SRC DST FIRST LAST bekleniyordu</translation>
    </message>
    <message>
        <source>expected --db ARCHIVE.db|URI</source>
        <translation>--db ARCHIVE.db|URI bekleniyordu</translation>
    </message>
    <message>
        <source>expected --db ARCHIVE.db</source>
        <translation>--db ARCHIVE.db bekleniyordu</translation>
    </message>
    <message>
        <source>expected a query</source>
        <translation>bir sorgu bekleniyordu</translation>
    </message>
    <message>
        <source>expected at least one folder</source>
        <translation>en az bir klasör bekleniyordu</translation>
    </message>
    <message>
        <source>expected DST and the source reports</source>
        <translation>DST ve kaynak raporlar bekleniyordu</translation>
    </message>
    <message>
        <source>expected the report file</source>
        <translation>rapor dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>expected one report file</source>
        <translation>bir rapor dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>expected EMF files</source>
        <translation>EMF dosyaları bekleniyordu</translation>
    </message>
    <message>
        <source>expected a pattern and at least one file or folder</source>
        <translation>bir arama deseni ve en az bir dosya ya da klasör bekleniyordu</translation>
    </message>
    <message>
        <source>expected reports, EMF files or folders</source>
        <translation>raporlar, EMF dosyaları ya da klasörler bekleniyordu</translation>
    </message>
    <message>
        <source>expected a report or EMF file</source>
        <translation>bir rapor ya da EMF dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>expected an input file and an output file</source>
        <translation>bir girdi dosyası ve bir çıktı dosyası bekleniyordu</translation>
    </message>
    <message>
        <source>put the query in quotes: one argument, not "%1" after it</source>
        <translation>sorguyu tırnak içine alın: tek bir argüman olmalı, ardından “%1” gelmemeli</translation>
    </message>
    <message>
        <source>--stem needs an index on a PostgreSQL server</source>
        <translation>--stem, bir PostgreSQL sunucusundaki dizini ister</translation>
    </message>
    <message>
        <source>the query is not understood: %1</source>
        <translation>sorgu anlaşılamadı: %1</translation>
    </message>
    <message>
        <source>page %1 does not exist: "%2" has %3 pages</source>
        <translation>%1. sayfa yok: “%2” %3 sayfa</translation>
    </message>
    <message>
        <source>pages %1-%2 hold no page of "%3" (%4 pages); nothing written</source>
        <translation>%1-%2 sayfaları “%3” raporunun hiçbir sayfasını içermiyor (%4 sayfa); hiçbir şey yazılmadı</translation>
    </message>
    <message>
        <source>%1: no such index; make it with qrptool index update</source>
        <translation>%1: böyle bir dizin yok; qrptool index update ile oluşturun</translation>
    </message>
    <message>
        <source>no printer named "%1"; see qrptool printers</source>
        <translation>“%1” adında bir yazıcı yok; qrptool printers komutuna bakın</translation>
    </message>
    <message>
        <source>the picture would be too large (%1 x %2 pixels)</source>
        <translation>resim çok büyük olurdu (%1 x %2 piksel)</translation>
    </message>
    <message>
        <source>cannot write "%1"</source>
        <translation>“%1” yazılamıyor</translation>
    </message>
    <message>
        <source>cannot create the folder "%1"</source>
        <translation>“%1” klasörü oluşturulamıyor</translation>
    </message>
    <message>
        <source>the report has %1 pages</source>
        <translation>rapor %1 sayfa</translation>
    </message>
    <message>
        <source>page %1 is missing</source>
        <translation>%1. sayfa eksik</translation>
    </message>
    <message>
        <source>%1: not a regular file</source>
        <translation>%1: sıradan bir dosya değil</translation>
    </message>
    <message>
        <source>"%1" holds no page</source>
        <translation>“%1” hiç sayfa içermiyor</translation>
    </message>
    <message>
        <source>"%1": page 1 is too complex to draw in full</source>
        <translation>“%1”: 1. sayfa tamamen çizilemeyecek kadar karmaşık</translation>
    </message>
    <message>
        <source>"%1": %2</source>
        <translation>“%1”: %2</translation>
    </message>
    <message>
        <source>usage: qrptool %1
</source>
        <translation>kullanım: qrptool %1
</translation>
    </message>
    <message>
        <source>cannot use "%1" as the archive index: %2</source>
        <translation>“%1” arşiv dizini olarak kullanılamıyor: %2</translation>
    </message>
    <message>
        <source>not an archive index (qrptool index update makes one); left as it was</source>
        <translation>bir arşiv dizini değil (qrptool index update bir dizin oluşturur); olduğu gibi bırakıldı</translation>
    </message>
    <message>
        <source>not an archive index (qrptool index init makes one)</source>
        <translation>bir arşiv dizini değil (qrptool index init bir dizin oluşturur)</translation>
    </message>
    <message>
        <source>the query has no words to look for</source>
        <translation>sorguda aranacak sözcük yok</translation>
    </message>
    <message>
        <source>the query has %1 words; at most %2 are looked for at once</source>
        <translation>sorguda %1 sözcük var; bir seferde en çok %2 sözcük aranır</translation>
    </message>
</context>
</TS>