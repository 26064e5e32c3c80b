<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AboutBox</name>
    <message>
        <source>バージョン情報 Heronwatch</source>
        <translation>About Heronwatch</translation>
    </message>
    <message>
        <source>&lt;b&gt;Heronwatch&lt;/b&gt; バージョン %1</source>
        <translation>&lt;b&gt;Heronwatch&lt;/b&gt; version %1</translation>
    </message>
    <message>
        <source>日本の地震情報を地図と表で表示します。&lt;br&gt;&lt;br&gt;地震情報：P2P地震情報 API (api.p2pquake.net)&lt;br&gt;観測点・市区町村・地域：出典 気象庁ホームページ（加工して作成）&lt;br&gt;地図：Made with Natural Earth&lt;br&gt;&lt;br&gt;MIT ライセンスのフリーソフトウェアです。データの利用条件は copyright ファイルにあります。</source>
        <translation>Shows earthquake reports for Japan on maps and in tables.&lt;br&gt;&lt;br&gt;Earthquake reports: P2PQuake API (api.p2pquake.net)&lt;br&gt;Observation points, municipalities and areas: edited from the Japan Meteorological Agency website&lt;br&gt;Maps: Made with Natural Earth&lt;br&gt;&lt;br&gt;Free software under the MIT licence. The copyright file gives the terms of the data.</translation>
    </message>
</context>
<context>
    <name>CommandMenu</name>
    <message>
        <source>選択</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>フレーム枠の非表示</source>
        <translation>Hide window frame</translation>
    </message>
    <message>
        <source>ドラッグ移動許可</source>
        <translation>Allow moving by dragging</translation>
    </message>
    <message>
        <source>常に手前に表示</source>
        <translation>Always on top</translation>
    </message>
    <message>
        <source>常に背面に表示</source>
        <translation>Always at the back</translation>
    </message>
    <message>
        <source>デモ表示 [単体表示]</source>
        <translation>Demo [single report]</translation>
    </message>
    <message>
        <source>デモ表示 [複数表示]</source>
        <translation>Demo [several reports]</translation>
    </message>
    <message>
        <source>SandBox 実行</source>
        <translation>Run SandBox</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>バージョン情報 Heronwatch...</source>
        <translation>About Heronwatch...</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>ウインドウを表示</source>
        <translation>Show the window</translation>
    </message>
</context>
<context>
    <name>Documents</name>
    <message>
        <source>取扱説明書.txt</source>
        <translation>UsersGuide.txt</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>ファイルを開けません。</source>
        <translation>Cannot open the file.</translation>
    </message>
    <message>
        <source>このアプリは起動済みです。</source>
        <translation>This program is already running.</translation>
    </message>
    <message>
        <source>最大震度用のファイル「MaxIntensity.bmp」が読み込めません</source>
        <translation>Cannot read the maximum intensity file &quot;MaxIntensity.bmp&quot;</translation>
    </message>
    <message>
        <source>日本地図(速報用)のファイル「jp_map1.jpg」が読み込めません</source>
        <translation>Cannot read the map of Japan for first reports &quot;jp_map1.jpg&quot;</translation>
    </message>
    <message>
        <source>日本地図(確定用)のファイル「jp_map2.jpg」が読み込めません</source>
        <translation>Cannot read the map of Japan for final reports &quot;jp_map2.jpg&quot;</translation>
    </message>
    <message>
        <source>世界地図のファイル「world_map.jpg」が読み込めません</source>
        <translation>Cannot read the world map &quot;world_map.jpg&quot;</translation>
    </message>
    <message>
        <source>作業フォルダを用意できないため、起動できません。</source>
        <translation>Cannot start: the working folder could not be prepared.</translation>
    </message>
    <message>
        <source>作業フォルダ %1 に書き込めません。設定とイベントログは保存されません。</source>
        <translation>Cannot write to the working folder %1. Settings and the event log will not be saved.</translation>
    </message>
</context>
<context>
    <name>hw::CTremorlensConfig</name>
    <message>
        <source>詳細設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>X座標 ：</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Y座標 ：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>幅&#x3000; ：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高さ ：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>アニメなし</source>
        <translation>No animation</translation>
    </message>
    <message>
        <source>画面更新</source>
        <translation>Refresh rate</translation>
    </message>
    <message>
        <source>送り文字数</source>
        <translation>Scroll step</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>characters</translation>
    </message>
    <message>
        <source>(30fps 換算)</source>
        <translation>(at 30 fps)</translation>
    </message>
    <message>
        <source>情報取得周期</source>
        <translation>Fetch interval</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>選択 ：</source>
        <translation>Theme:</translation>
    </message>
    <message>
        <source>都道府県＋観測地点</source>
        <translation>Prefectures + observation points</translation>
    </message>
    <message>
        <source>都道府県</source>
        <translation>Prefectures</translation>
    </message>
    <message>
        <source>観測地点</source>
        <translation>Observation points</translation>
    </message>
    <message>
        <source>表示タイプ ：</source>
        <translation>Show:</translation>
    </message>
    <message>
        <source>  震度情報の手前側に震央を表示</source>
        <translation>  Draw the epicentre in front of the intensities</translation>
    </message>
    <message>
        <source>  震央を点滅表示させる</source>
        <translation>  Blink the epicentre</translation>
    </message>
    <message>
        <source>  観測点の座標データを保存する (Stations.ini)</source>
        <translation>  Save the observation points (Stations.ini)</translation>
    </message>
    <message>
        <source>  最新の地震データを保存する (history.json)</source>
        <translation>  Save the latest reports (history.json)</translation>
    </message>
    <message>
        <source>[3時半頃に取得 (反映)＆保存]</source>
        <translation>[fetched, applied and saved at about 3:30]</translation>
    </message>
    <message>
        <source>[地震情報の更新時、保存]</source>
        <translation>[saved when new reports arrive]</translation>
    </message>
    <message>
        <source>  デスクトップの起動時に開始する</source>
        <translation>  Start when the desktop starts</translation>
    </message>
    <message>
        <source>  新しい地震情報をデスクトップに通知する</source>
        <translation>  Notify the desktop of new earthquake reports</translation>
    </message>
    <message>
        <source>震度1</source>
        <translation>Intensity 1</translation>
    </message>
    <message>
        <source>震度2</source>
        <translation>Intensity 2</translation>
    </message>
    <message>
        <source>震度3</source>
        <translation>Intensity 3</translation>
    </message>
    <message>
        <source>震度4</source>
        <translation>Intensity 4</translation>
    </message>
    <message>
        <source>震度5弱</source>
        <translation>Intensity 5 lower</translation>
    </message>
    <message>
        <source>震度5強</source>
        <translation>Intensity 5 upper</translation>
    </message>
    <message>
        <source>震度6弱</source>
        <translation>Intensity 6 lower</translation>
    </message>
    <message>
        <source>震度6強</source>
        <translation>Intensity 6 upper</translation>
    </message>
    <message>
        <source>震度7</source>
        <translation>Intensity 7</translation>
    </message>
    <message>
        <source>  遠地地震も通知する</source>
        <translation>  Also notify of distant earthquakes</translation>
    </message>
    <message>
        <source>  津波の情報も通知する</source>
        <translation>  Also notify of tsunami reports</translation>
    </message>
    <message>
        <source>  音を鳴らす</source>
        <translation>  Play a sound</translation>
    </message>
    <message>
        <source>通知する最大震度 ：</source>
        <translation>Maximum intensity:</translation>
    </message>
    <message>
        <source>以上</source>
        <translation>or higher</translation>
    </message>
    <message>
        <source>  ウインドウ枠  </source>
        <translation>  Window  </translation>
    </message>
    <message>
        <source>  アスペクト設定  </source>
        <translation>  Aspect ratio  </translation>
    </message>
    <message>
        <source>  速度設定  </source>
        <translation>  Speed  </translation>
    </message>
    <message>
        <source>  地震情報設定  </source>
        <translation>  Earthquake reports  </translation>
    </message>
    <message>
        <source>  テーマ設定 (アプリの再起動が必要)  </source>
        <translation>  Theme (takes effect after a restart)  </translation>
    </message>
    <message>
        <source>  震度マップ設定  </source>
        <translation>  Intensity map  </translation>
    </message>
    <message>
        <source>  保存オプション (起動時にも保存)  </source>
        <translation>  Saving (also at start-up)  </translation>
    </message>
    <message>
        <source>  通知設定  </source>
        <translation>  Notifications  </translation>
    </message>
    <message>
        <source>前回の設定</source>
        <translation>Previous settings</translation>
    </message>
    <message>
        <source>初期値</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>デスクトップの起動時に開始する設定を変更できませんでした。
</source>
        <translation>Could not change whether the program starts with the desktop.
</translation>
    </message>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>高さをアスペクトに合わせる</source>
        <translation>Fit the height to the aspect</translation>
    </message>
    <message>
        <source>  震央表示設定  </source>
        <translation>  Epicentre  </translation>
    </message>
    <message>
        <source>表示</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>配信</source>
        <translation>Streaming</translation>
    </message>
</context>
<context>
    <name>hw::StreamSettingsGroup</name>
    <message>
        <source>  配信設定  </source>
        <translation>  Streaming  </translation>
    </message>
    <message>
        <source>なし (例: stream/picture.png)</source>
        <translation>none (e.g. stream/picture.png)</translation>
    </message>
    <message>
        <source>  ローカルページを開く</source>
        <translation>  Open the local page</translation>
    </message>
    <message>
        <source>  オーバーレイ (地図なし、透過)</source>
        <translation>  Overlay (no map, transparent)</translation>
    </message>
    <message>
        <source>  震度と震央も表示する</source>
        <translation>  Also show intensities and epicentre</translation>
    </message>
    <message>
        <source>なし ({id} {maxScale} {issueType} {file})</source>
        <translation>none ({id} {maxScale} {issueType} {file})</translation>
    </message>
    <message>
        <source>  デモの情報でも実行する</source>
        <translation>  Also run for demo reports</translation>
    </message>
    <message>
        <source>画像ファイル ：</source>
        <translation>Picture file:</translation>
    </message>
    <message>
        <source>更新 (回/秒) ：</source>
        <translation>Updates per second:</translation>
    </message>
    <message>
        <source>幅 ：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高さ ：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>アドレス ：</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>ポート ：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>キー色 ：</source>
        <translation>Key colour:</translation>
    </message>
    <message>
        <source>受信時のコマンド ：</source>
        <translation>Command on a report:</translation>
    </message>
    <message>
        <source>ローカルページ: 停止中</source>
        <translation>Local page: off</translation>
    </message>
    <message>
        <source>ローカルページ: %1 で待ち受け中</source>
        <translation>Local page: listening at %1</translation>
    </message>
    <message>
        <source>ローカルページを開けません: %1 (%2)</source>
        <translation>Local page cannot open: %1 (%2)</translation>
    </message>
</context>
</TS>
