# comment
$set $out = out_
$set $n = 3
$set $both = $out//$n
[Hoehenmodell]
1
dem.asc   # the DEM
[Aspect]
$n
$out//aspect.asc
$both
