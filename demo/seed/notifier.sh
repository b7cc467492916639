# The host's settings and English texts beside the demo host, and three network
# interfaces for the internet optimisation to tune.
printf '[Tessary Optimizer]\r\nIDS_LANGUAGE=english\r\nIDS_DEFAULT_LANGUAGE=english\r\nIDS_MEM_TO_FREE=2\r\n' > "$demo_dir/Settings.INI"
mkdir -p "$demo_dir/Lang"
printf '%s\r\n' '[Tessary Optimizer]' \
  'IDS_LANGUAGE_0=English' 'IDS_LANGUAGE_ABR_0=EN' 'IDS_LANGUAGE_1=Deutsch' 'IDS_LANGUAGE_ABR_1=DE' \
  'IDS_BRIMWELL=Memory Optimizer' 'IDS_CLOUD_TEXT=of memory has been freed.' \
  'IDS_CLOUD_INTERNET_TEXT="Your connection is now optimized for: "' 'IDS_OPTIMIZEDINTERNET=Internet Optimizer' \
  '[Tessary Internet Speed Optimizer]' \
  'IDS_INFO_MODEM=Dial-up modem' 'IDS_INFO_DSL=DSL broadband' 'IDS_INFO_LAN=Local area network' 'IDS_INFO_T1=T1 line' \
  > "$demo_dir/Lang/english.ini"
for id in 1 2 3; do
  "$wine" reg add "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{D3E0A7F$id-5C1B-4E2A-9F00-00000000000$id}" /f >/dev/null 2>&1
done
