<!DOCTYPE html>
<html lang="zh-Hant">
<head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1"><title>雲岫大學圖書館館藏目錄</title></head>
<body style="font-family: sans-serif; margin: 16px;">
<h2>雲岫大學圖書館館藏目錄</h2>
<p>查無此書目。</p>
<p>請確認書目編號，或回到館藏查詢重新檢索。</p>
</body>
</html>
