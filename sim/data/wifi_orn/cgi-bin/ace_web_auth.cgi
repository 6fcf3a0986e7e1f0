<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>雲岫大學本部 無線網路認證</title></head>
<body>
<h1>本部 無線網路認證</h1>
<form action="/cgi-bin/ace_web_auth.cgi" method="post">
  <p>帳號：<input type="text" name="username"></p>
  <p>密碼：<input type="password" name="userpwd"></p>
  <p><input type="submit" name="login" value="submit"></p>
</form>
</body>
</html>
